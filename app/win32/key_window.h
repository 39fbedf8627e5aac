#pragma once

#include "app/win32/gdi.h"
#include "window/colour.h"

#include <windows.h>

#include <cstdint>
#include <string>

class KelvoraWindow;

// One piano key: a child window drawn as a two-state push button, sunken while set or held,
// filled with its back colour. Every mouse button presses it, and the mouse is captured while a
// button is down, so that the key that got a press gets its release wherever the pointer went.
class KeyWindow
{
public:
    static void registerClass(HINSTANCE instance);

    KeyWindow(KelvoraWindow& owner, HWND parent, std::int16_t index, ColorValue backColour,
        ColorValue foreColour, std::wstring caption);
    KeyWindow(const KeyWindow&) = delete;
    KeyWindow& operator=(const KeyWindow&) = delete;

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    // The back colour as set, system-colour references kept as such.
    [[nodiscard]] ColorValue backColour() const { return m_backColour; }
    void setBackColour(ColorValue colour);
    void setUnset();
    void setFont(HFONT font) { m_font = font; }

private:
    template <typename Owner> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void buttonDown(unsigned button);
    void buttonUp(unsigned button, LPARAM where);
    void captureLost();

    KelvoraWindow& m_owner;
    HWND m_hwnd = nullptr;
    std::int16_t m_index;
    ColorValue m_backColour;
    ColorValue m_foreColour;
    std::wstring m_caption;
    HFONT m_font = nullptr; // the window's, not owned
    unsigned m_buttons = 0; // MK_LBUTTON, MK_MBUTTON, MK_RBUTTON of the buttons held on the key
    bool m_checked = false;
};
