#pragma once

#include <cstdint>

// A colour as the keyboard stores it: 0x00BBGGRR, or 0x80000000 + n for system colour n of the
// window system (numbered as in the Windows list of system colours).
using ColorValue = std::uint32_t;

namespace Colour {

inline constexpr ColorValue White = 0x00FFFFFF;
inline constexpr ColorValue Grey = 0x00808080;
inline constexpr ColorValue Green = 0x0000FF00; // 65280, a pressed key
inline constexpr ColorValue Cyan = 0x00FFFF00;
inline constexpr ColorValue MenuText = 0x80000007; // system colour 7
inline constexpr ColorValue HighlightText = 0x8000000E; // system colour 14
inline constexpr ColorValue ButtonText = 0x80000012; // system colour 18, a key's default text

constexpr bool isSystemColour(ColorValue c)
{
    return (c & 0x80000000u) != 0;
}
constexpr int systemColourIndex(ColorValue c)
{
    return static_cast<int>(c & 0x7FFFFFFFu);
}
constexpr int red(ColorValue c)
{
    return static_cast<int>(c & 0xFFu);
}
constexpr int green(ColorValue c)
{
    return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int blue(ColorValue c)
{
    return static_cast<int>((c >> 16) & 0xFFu);
}

} // namespace Colour
