#include "app/win32/key_window.h"

#include "app/kelvora.h"
#include "app/win32/kelvora_window.h"
#include "app/win32/window_procedure.h"

#include <windowsx.h>

namespace {

constexpr wchar_t ClassName[] = L"NolvexKey";

// The key's caption stripped of the leading spaces that centre it on a wider button.
std::wstring trimmed(const std::wstring& text)
{
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

} // namespace

void KeyWindow::registerClass(HINSTANCE instance)
{
    WNDCLASSEXW wc {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW; // drawn whole again at a new size: its edge moves
    wc.lpfnWndProc = &windowProcedure<KeyWindow>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    RegisterClassExW(&wc);
}

KeyWindow::KeyWindow(KelvoraWindow& owner, HWND parent, std::int16_t index, ColorValue backColour,
    ColorValue foreColour, std::wstring caption)
    : m_owner(owner)
    , m_index(index)
    , m_backColour(backColour)
    , m_foreColour(foreColour)
    , m_caption(std::move(caption))
{
    CreateWindowExW(0, ClassName, m_caption.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
        0, 0, parent, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT KeyWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
        buttonDown(MK_LBUTTON);
        return 0;
    case WM_MBUTTONDOWN:
        buttonDown(MK_MBUTTON);
        return 0;
    case WM_RBUTTONDOWN:
        buttonDown(MK_RBUTTON);
        return 0;
    case WM_LBUTTONUP:
        buttonUp(MK_LBUTTON, lParam);
        return 0;
    case WM_MBUTTONUP:
        buttonUp(MK_MBUTTON, lParam);
        return 0;
    case WM_RBUTTONUP:
        buttonUp(MK_RBUTTON, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        captureLost();
        return 0;
    case WM_POINTERDOWN:
    case WM_POINTERUPDATE:
    case WM_POINTERUP:
    case WM_POINTERCAPTURECHANGED:
        pointer(message, wParam);
        return 0;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    default:
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

void KeyWindow::setBackColour(ColorValue colour)
{
    m_backColour = colour;
    redraw();
}

void KeyWindow::setUnset()
{
    m_checked = false;
    redraw();
}

void KeyWindow::setFont(HFONT font)
{
    m_font = font;
    redraw();
}

void KeyWindow::letGo()
{
    const bool held = m_buttons != 0;
    m_buttons = 0; // first: giving up the mouse below comes back here as a lost capture
    if (GetCapture() == m_hwnd && m_hwnd != nullptr)
        ReleaseCapture();
    if (held)
        redraw();
}

// The window may be gone already, at the end of the program: then there is nothing to draw.
void KeyWindow::redraw()
{
    if (m_hwnd != nullptr)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

// The note goes out before the key is drawn pressed. A second button while one is held comes
// here too, the mouse being captured: it plays the key again.
void KeyWindow::buttonDown(unsigned button)
{
    if (m_buttons == 0)
        SetCapture(m_hwnd);
    m_buttons |= button;
    if (Kelvora* kelvora = m_owner.kelvora())
        kelvora->keyDown(m_index);
    redraw();
}

// A left click toggles the key, as a check box does, before the release is handled: the release
// handler's unset has the last word.
void KeyWindow::buttonUp(unsigned button, LPARAM where)
{
    if ((m_buttons & button) == 0)
        return;
    m_buttons &= ~button;
    RECT r;
    GetClientRect(m_hwnd, &r);
    if (button == MK_LBUTTON && PtInRect(&r, { GET_X_LPARAM(where), GET_Y_LPARAM(where) }))
        m_checked = !m_checked;
    if (m_buttons == 0)
        ReleaseCapture();
    if (Kelvora* kelvora = m_owner.kelvora())
        kelvora->keyUp(m_index);
    redraw();
}

// The capture was taken while buttons were down (Alt+Tab, a system dialog, another program's
// capture): their releases will not come here.
void KeyWindow::captureLost()
{
    if (m_buttons != 0)
        m_owner.pointerLost();
}

// Fingers and pens are handled here and not passed on, so that Windows neither holds a contact
// back to rule out a press-and-hold nor makes mouse presses of it. A contact's pointer id is its
// finger; it keeps the key it came down on while it slides, and its lift, cancel or lost pointer
// (the messages come to the window that got the contact) ends its note.
void KeyWindow::pointer(UINT message, WPARAM wParam)
{
    Kelvora* kelvora = m_owner.kelvora();
    const int finger = GET_POINTERID_WPARAM(wParam);
    if (kelvora == nullptr)
        return;
    if (message == WM_POINTERDOWN)
        kelvora->fingerDown(finger, m_index);
    else if (message != WM_POINTERUPDATE || IS_POINTER_CANCELED_WPARAM(wParam))
        kelvora->fingerUp(finger);
}

void KeyWindow::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT r;
    GetClientRect(m_hwnd, &r);
    const GdiObject<HBRUSH> fill(CreateSolidBrush(colorRef(m_backColour)));
    FillRect(dc, &r, fill.get());
    const bool sunken = m_checked || (m_buttons & MK_LBUTTON) != 0;
    DrawEdge(dc, &r, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const std::wstring letter = trimmed(m_caption);
    if (!letter.empty()) {
        // The caption's letter stands centred at the bottom; a pressed key moves it a pixel.
        InflateRect(&r, -2, -3);
        OffsetRect(&r, sunken ? 1 : 0, sunken ? 1 : 0);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colorRef(m_foreColour));
        const HGDIOBJ previous = SelectObject(dc, m_font);
        DrawTextW(dc, letter.c_str(), static_cast<int>(letter.size()), &r,
            DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, previous);
    }
    EndPaint(m_hwnd, &ps);
}
