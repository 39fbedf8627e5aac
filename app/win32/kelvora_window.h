#pragma once

#include "app/win32/gdi.h"
#include "app/win32/key_window.h"
#include "app/win32/vol_bar.h"
#include "window/menu_bar.h"
#include "window/vol_bar_model.h"
#include "window/window_definition.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Kelvora;
struct MenuItem;

// The main window `Kelvora` on Windows, built from the window definition: the keys and the
// velocity bar as child windows, the labels and marker bars painted on the window's own surface
// beneath them, the menu bar, and the events forwarded to the behaviour. It decides nothing.
// Sizes follow the window's DPI (15 twips a pixel at 96 dpi).
class KelvoraWindow : public VolBarControls
{
public:
    explicit KelvoraWindow(HINSTANCE instance);
    ~KelvoraWindow() override;
    KelvoraWindow(const KelvoraWindow&) = delete;
    KelvoraWindow& operator=(const KelvoraWindow&) = delete;

    // Events go to `kelvora` from now on; its unload runs once, at the window's end or the
    // session's, whichever comes first.
    void attach(Kelvora& kelvora) { m_kelvora = &kelvora; }
    // Runs the message loop until the window is gone, and ends the window if the loop ended
    // first; the exit code. `kelvora` must outlive this call.
    [[nodiscard]] int runMessageLoop();

    // The core the keys' presses, releases and fingers go to; none before attach or after the
    // unload.
    [[nodiscard]] Kelvora* kelvora() const { return m_kelvora; }
    // From a key that lost the mouse, and from the window.
    void pointerLost();

    ColorValue keyBackColor(std::int16_t key) const override;
    void setKeyBackColor(std::int16_t key, ColorValue colour) override;
    void setKeyUnset(std::int16_t key) override;
    void setMarkerVisible(std::int16_t marker, bool visible) override;
    void setCaption(CaptionLabel which, std::string_view caption) override;
    std::string menuCaption(std::int16_t menuIndex) const override;
    void show() override;
    NativeHandle nativeHandle() const override;
    void messageBox(std::string_view text) override;

private:
    template <typename Owner> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void createMenus();
    void addMenuItems(HMENU menu, const std::vector<MenuItem>& items);
    void showVolBar(bool report) override;
    void layout();
    void dpiChanged(UINT dpi, const RECT& suggested);
    void fitToClientArea();
    void paint();
    void menuCommand(int id);
    void mouseOnSurface(UINT message, LPARAM where);
    void wheel(WPARAM wParam, LPARAM where);
    void invalidate(int definitionIndex);
    [[nodiscard]] std::optional<int> labelAt(POINT where) const;
    void finish();
    void close();

    HWND m_hwnd = nullptr;
    UINT m_dpi = 96;
    Kelvora* m_kelvora = nullptr;
    std::array<std::unique_ptr<KeyWindow>, WindowDefinition::KeyCount> m_keys;
    std::unique_ptr<VolBar> m_vol;
    // Where each item with a menu index stands: its menu and its position there.
    std::array<std::pair<HMENU, int>, MenuIndex::Count> m_menuItems {};
    // The labels and marker bars, by their place in the definition's list of controls.
    std::array<std::wstring, WindowDefinition::ControlCount> m_captions;
    std::array<bool, WindowDefinition::ControlCount> m_visible {};
    std::array<GdiObject<HFONT>, WindowDefinition::ControlCount> m_fonts;
    GdiObject<HFONT> m_windowFont;
    std::optional<int> m_pressedLabel;
};
