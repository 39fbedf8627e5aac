#include "app/win32/gdi.h"

#include "app/win32/text.h"

#include <cmath>

namespace {

// The face and size of controls that the definition gives no font.
constexpr WindowDefinition::Font WindowFont { "MS Sans Serif", 8, 400 };

// "MS Sans Serif" is a bitmap font on Windows, sharp only at the sizes drawn for 96 dpi; its
// design's TrueType face has the same metrics at 100 % and is sharp at every scale.
std::string_view scalableFace(std::string_view face)
{
    return face == "MS Sans Serif" ? "Microsoft Sans Serif" : face;
}

} // namespace

GdiObject<HFONT> makeFont(const WindowDefinition::Font& font, UINT dpi)
{
    const WindowDefinition::Font& f = font.face.empty() ? WindowFont : font;
    const int height = -static_cast<int>(std::lround(f.points * dpi / 72.0));
    return GdiObject<HFONT>(CreateFontW(height, 0, 0, 0, f.weight, FALSE, FALSE, FALSE,
        ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
        DEFAULT_PITCH | FF_DONTCARE, toWide(scalableFace(f.face)).c_str()));
}
