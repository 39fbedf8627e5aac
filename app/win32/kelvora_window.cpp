#include "app/win32/kelvora_window.h"

#include "app/kelvora.h"
#include "app/win32/text.h"
#include "app/win32/window_procedure.h"

#include <windowsx.h>

#include <utility>

using namespace WindowDefinition;

namespace {

constexpr wchar_t ClassName[] = L"NolvexKelvora";
// A fixed single border with a title bar and a close box; no minimize or maximize box.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

bool isLabel(const Control& c)
{
    return c.kind == ControlKind::TextLabel || c.kind == ControlKind::MarkerBar;
}

int definitionIndex(std::string_view name, std::int16_t index = -1)
{
    for (int n = 0; n < ControlCount; ++n)
        if (AllControls[n].name == name && AllControls[n].index == index)
            return n;
    return -1;
}

} // namespace

KelvoraWindow::KelvoraWindow(HINSTANCE instance)
{
    WNDCLASSEXW wc {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &windowProcedure<KelvoraWindow>;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colorRef(MainWindow.backColour)); // freed with the class
    wc.lpszClassName = ClassName;
    RegisterClassExW(&wc);
    KeyWindow::registerClass(instance);

    CreateWindowExW(0, ClassName, toWide(MainWindow.caption).c_str(), Style, CW_USEDEFAULT,
        CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    m_dpi = GetDpiForWindow(m_hwnd);
    createMenus();
    createControls();
    layout();
}

// Normally gone already (runMessageLoop ends with it); the core may be gone too by now, so
// nothing goes to it.
KelvoraWindow::~KelvoraWindow()
{
    m_kelvora = nullptr;
    if (m_hwnd != nullptr)
        DestroyWindow(m_hwnd);
}

LRESULT KelvoraWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        mouseOnSurface(message, lParam);
        return 0;
    case WM_CAPTURECHANGED: // a label's press ends with the capture
        m_pressedLabel.reset();
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == m_vol->hwnd())
            m_vol->scrolled(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        wheel(wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0)
            menuCommand(LOWORD(wParam));
        return 0;
    case WM_SIZE: // minimised, however it came: the releases of held buttons go elsewhere
        if (wParam == SIZE_MINIMIZED)
            pointerLost();
        return 0;
    case WM_CANCELMODE: // a system dialog or a task switch takes the mouse from a held key
        pointerLost();
        break;
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION: // a log-off, a shut-down, or the Restart Manager closing it for an update
        if (wParam)
            close();
        return 0;
    case WM_DESTROY:
        finish();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

// Child windows in stacking order, lowest first: each new one goes on top of the others.
void KelvoraWindow::createControls()
{
    for (int n = 0; n < ControlCount; ++n) {
        const Control& c = AllControls[n];
        m_captions[n] = toWide(c.caption);
        m_visible[n] = c.visible;
        HWND child = nullptr;
        if (c.kind == ControlKind::Key) {
            auto& key = m_keys.at(c.index);
            key = std::make_unique<KeyWindow>(*this, m_hwnd, c.index,
                c.backColour.value_or(Colour::White), c.foreColour.value_or(Colour::ButtonText),
                m_captions[n]);
            child = key->hwnd();
        } else if (c.kind == ControlKind::ScrollBar) {
            m_vol = std::make_unique<VolBar>(m_hwnd, m_volBar, [this, name = c.name] {
                if (m_kelvora)
                    m_kelvora->changed(name);
            });
            child = m_vol->hwnd();
        }
        if (child != nullptr)
            SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// Places everything at the window's DPI: the client area, the child windows and the fonts.
void KelvoraWindow::layout()
{
    m_windowFont = makeFont(DefaultFont, m_dpi);
    for (int n = 0; n < ControlCount; ++n) {
        const Control& c = AllControls[n];
        if (c.kind == ControlKind::TextLabel)
            m_fonts[n] = makeFont(c.font, m_dpi);
        HWND child = c.kind == ControlKind::Key ? m_keys.at(c.index)->hwnd()
            : c.kind == ControlKind::ScrollBar  ? m_vol->hwnd()
                                                : nullptr;
        if (child == nullptr)
            continue;
        const RECT r = pixelRect(c, m_dpi);
        SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        if (c.kind == ControlKind::Key)
            m_keys.at(c.index)->setFont(m_windowFont.get());
    }
    fitToClientArea();
    // The keys and the bar too: the window's own invalidation skips them (WS_CLIPCHILDREN).
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window moved to a screen of another scale: Windows suggests its new frame, and every
// control is placed and drawn again at the new DPI.
void KelvoraWindow::dpiChanged(UINT dpi, const RECT& suggested)
{
    m_dpi = dpi;
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
        suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

// The frame around a client area of the definition's size; a menu bar that wraps onto a second
// line is made up for.
void KelvoraWindow::fitToClientArea()
{
    const int width = pixels(MainWindow.clientWidth, m_dpi);
    const int height = pixels(MainWindow.clientHeight, m_dpi);
    RECT frame { 0, 0, width, height };
    AdjustWindowRectExForDpi(&frame, Style, TRUE, 0, m_dpi);
    for (int pass = 0; pass < 2; ++pass) {
        SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        GetClientRect(m_hwnd, &client);
        frame.right += width - client.right;
        frame.bottom += height - client.bottom;
    }
}

// The labels and marker bars in stacking order; the keys and the bar, child windows, lie above.
void KelvoraWindow::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    SetBkMode(dc, TRANSPARENT);
    for (int n = 0; n < ControlCount; ++n) {
        const Control& c = AllControls[n];
        if (!isLabel(c) || !m_visible[n])
            continue;
        RECT r = pixelRect(c, m_dpi);
        if (c.backColour) {
            const GdiObject<HBRUSH> fill(CreateSolidBrush(colorRef(*c.backColour)));
            FillRect(dc, &r, fill.get());
        }
        if (m_captions[n].empty())
            continue;
        SetTextColor(dc, colorRef(c.foreColour.value_or(0x80000000u + COLOR_WINDOWTEXT)));
        const HGDIOBJ previous = SelectObject(dc, m_fonts[n].get());
        DrawTextW(dc, m_captions[n].c_str(), static_cast<int>(m_captions[n].size()), &r,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, previous);
    }
    EndPaint(m_hwnd, &ps);
}

void KelvoraWindow::invalidate(int n)
{
    const RECT r = pixelRect(AllControls[n], m_dpi);
    if (m_hwnd != nullptr)
        InvalidateRect(m_hwnd, &r, TRUE);
}

// The label on top at a point of the window's surface: none lies above a key or the bar, whose
// own windows take the mouse there.
std::optional<int> KelvoraWindow::labelAt(POINT where) const
{
    for (int n = ControlCount - 1; n >= 0; --n) {
        const RECT r = pixelRect(AllControls[n], m_dpi);
        if (isLabel(AllControls[n]) && m_visible[n] && PtInRect(&r, where))
            return n;
    }
    return std::nullopt;
}

// A click on a label: a left press and release both over it.
void KelvoraWindow::mouseOnSurface(UINT message, LPARAM where)
{
    const std::optional<int> label = labelAt({ GET_X_LPARAM(where), GET_Y_LPARAM(where) });
    if (message == WM_LBUTTONDOWN) {
        SetCapture(m_hwnd);
        m_pressedLabel = label;
        return;
    }
    const std::optional<int> pressed = std::exchange(m_pressedLabel, std::nullopt);
    ReleaseCapture();
    if (m_kelvora && label && label == pressed)
        m_kelvora->clicked(AllControls[*label].name);
}

// A turn of the wheel over the velocity bar moves it; the window gets the wheel wherever it is.
void KelvoraWindow::wheel(WPARAM wParam, LPARAM where)
{
    POINT p { GET_X_LPARAM(where), GET_Y_LPARAM(where) };
    if (WindowFromPoint(p) == m_vol->hwnd())
        m_vol->wheel(GET_WHEEL_DELTA_WPARAM(wParam));
}

void KelvoraWindow::finish()
{
    if (Kelvora* kelvora = std::exchange(m_kelvora, nullptr))
        kelvora->unload();
}

// Ends the program: the unload first, then the window, whose end posts the loop's quit.
void KelvoraWindow::close()
{
    finish();
    if (m_hwnd != nullptr)
        DestroyWindow(m_hwnd);
}

int KelvoraWindow::runMessageLoop()
{
    MSG message {};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Also when the loop ended with the window still there (a stray WM_QUIT, or -1: the loop
    // failed), the window goes now, while the core it drives is still there.
    close();
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

// Every way the window loses the mouse while something is held on it (a minimise, a cancelled
// mode, a key's lost capture) ends here: the keys and labels let go and forget their presses,
// so the next click plays the key clicked, and every held note ends.
void KelvoraWindow::pointerLost()
{
    for (const auto& key : m_keys)
        key->letGo();
    if (m_hwnd != nullptr && GetCapture() == m_hwnd)
        ReleaseCapture(); // and with the capture, a label's press
    if (m_kelvora)
        m_kelvora->pointerLost();
}

ColorValue KelvoraWindow::keyBackColor(std::int16_t key) const
{
    return m_keys.at(key)->backColour();
}

void KelvoraWindow::setKeyBackColor(std::int16_t key, ColorValue colour)
{
    m_keys.at(key)->setBackColour(colour);
}

void KelvoraWindow::setKeyUnset(std::int16_t key)
{
    m_keys.at(key)->setUnset();
}

void KelvoraWindow::setMarkerVisible(std::int16_t marker, bool visible)
{
    const int n = definitionIndex("Lbl_repere_note", marker);
    if (n >= 0 && m_visible[n] != visible) {
        m_visible[n] = visible;
        invalidate(n);
    }
}

void KelvoraWindow::showVolBar(bool report)
{
    m_vol->sync(report);
}

void KelvoraWindow::setCaption(CaptionLabel which, std::string_view caption)
{
    const int n = definitionIndex(name(which));
    m_captions[n] = toWide(caption);
    invalidate(n);
}

// Shows the window and paints it at once: start-up goes on (the MIDI open, perhaps a message
// box) before the message loop runs.
void KelvoraWindow::show()
{
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
}

NativeHandle KelvoraWindow::nativeHandle() const
{
    return reinterpret_cast<NativeHandle>(m_hwnd);
}

void KelvoraWindow::messageBox(std::string_view text)
{
    MessageBoxW(m_hwnd, toWide(text).c_str(), toWide(MainWindow.caption).c_str(), MB_OK);
}
