#pragma once

#include "window/colour.h"

#include <windows.h>

#include <cstdint>
#include <string>

class KelvoraWindow;

// One piano key: a child window drawn as a two-state push button, sunken while set or held,
// filled with its back colour. Every mouse button presses it, and the mouse is captured while a
// button is down, so that the key that got a press gets its release wherever the pointer went.
// A finger or a pen plays it through its pointer messages, at contact: each contact holds the
// key it came down on until it is lifted, cancelled or its pointer is lost.
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
    void setFont(HFONT font);
    // Forgets the buttons held on the key and gives up the mouse, drawn raised again; tells no
    // one (the caller ends the notes).
    void letGo();

private:
    template <typename Owner> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void redraw();
    void buttonDown(unsigned button);
    void buttonUp(unsigned button, LPARAM where);
    void captureLost();
    void pointer(UINT message, WPARAM wParam);

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
