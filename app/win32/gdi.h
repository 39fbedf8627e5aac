#pragma once

#include "window/colour.h"
#include "window/window_definition.h"

#include <windows.h>

#include <memory>
#include <type_traits>

// A GDI object (font, brush) owned by the program, deleted once.
struct GdiDelete
{
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDelete>;

// The COLORREF of a colour value: the same 0x00BBGGRR layout, system colours looked up.
[[nodiscard]] inline COLORREF colorRef(ColorValue colour)
{
    return Colour::isSystemColour(colour) ? GetSysColor(Colour::systemColourIndex(colour))
                                          : static_cast<COLORREF>(colour);
}

// A font of the window definition at `dpi`; an empty face is the window's default font.
[[nodiscard]] GdiObject<HFONT> makeFont(const WindowDefinition::Font& font, UINT dpi);

// Twips to pixels at `dpi` (15 twips a pixel at 96 dpi).
[[nodiscard]] inline int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// A control's rectangle in client pixels at `dpi`; its edges are scaled, so that neighbours
// stay neighbours at every scale.
[[nodiscard]] inline RECT pixelRect(const WindowDefinition::Control& c, UINT dpi)
{
    return { pixels(c.left, dpi), pixels(c.top, dpi), pixels(c.left + c.width, dpi),
        pixels(c.top + c.height, dpi) };
}
