#include "app/qt/system_colour.h"

#include <QApplication>
#include <QPalette>

#include <array>

namespace {

// Windows system colour numbers and the palette entry that plays the same part here.
struct SystemColour
{
    int index;
    const char* widgetClass; // palette of this class of widget, or nullptr for the default one
    QPalette::ColorRole role;
};

// The system colours that the window's controls use.
constexpr std::array<SystemColour, 3> SystemColours { {
    { 7, "QMenu", QPalette::WindowText }, // menu text: the black keys
    { 14, nullptr, QPalette::HighlightedText }, // highlighted text: the black keys' captions
    { 18, nullptr, QPalette::ButtonText }, // button text: the white keys' captions
} };

} // namespace

QColor toQColor(ColorValue colour)
{
    if (!Colour::isSystemColour(colour))
        return QColor(Colour::red(colour), Colour::green(colour), Colour::blue(colour));
    for (const SystemColour& s : SystemColours) {
        if (s.index == Colour::systemColourIndex(colour))
            return QApplication::palette(s.widgetClass).color(QPalette::Active, s.role);
    }
    return QApplication::palette().color(QPalette::Active, QPalette::WindowText);
}
