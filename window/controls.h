#pragma once

#include "window/colour.h"

#include <cstdint>
#include <string>
#include <string_view>

// The text labels whose caption the behaviour writes while the program runs.
enum class CaptionLabel { Lbl_Instrument_Name, Lbl_gamme, Lbl_note };

// Native handle of the main window (an X11 window id, an HWND on Windows).
using NativeHandle = std::uintptr_t;

// What the behaviour may read and write of the window's controls while the program runs, and
// nothing more: every other property keeps the value the window definition gives it. Key and
// marker indices are 0-59; menu indices are those of the menu bar (1-15 families, 16-164 entries).
class Controls
{
public:
    virtual ~Controls() = default;

    [[nodiscard]] virtual ColorValue keyBackColor(std::int16_t key) const = 0;
    virtual void setKeyBackColor(std::int16_t key, ColorValue colour) = 0;
    virtual void setKeyUnset(std::int16_t key) = 0;

    virtual void setMarkerVisible(std::int16_t marker, bool visible) = 0;

    // The velocity bar `vol`. Its minimum may be greater than its maximum (127 at the top, 0 at
    // the bottom); setting a property may raise the bar's change notification.
    virtual void setVolMin(std::int16_t value) = 0;
    virtual void setVolMax(std::int16_t value) = 0;
    virtual void setVolValue(std::int16_t value) = 0;
    [[nodiscard]] virtual std::int16_t volValue() const = 0;

    virtual void setCaption(CaptionLabel label, std::string_view caption) = 0;

    // Caption of a menu entry or family submenu, read back from the menu bar as shown (UTF-8).
    [[nodiscard]] virtual std::string menuCaption(std::int16_t menuIndex) const = 0;

    virtual void show() = 0;
    [[nodiscard]] virtual NativeHandle nativeHandle() const = 0;

    // A modal box with an OK button alone and the application's default title; returns after OK.
    virtual void messageBox(std::string_view text) = 0;
};
