#include "app/system_colour.h"

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

constexpr std::array<SystemColour, 12> SystemColours { {
    { 0, nullptr, QPalette::Button }, // scroll bar
    { 4, "QMenu", QPalette::Window }, // menu
    { 5, nullptr, QPalette::Base }, // window
    { 7, "QMenu", QPalette::WindowText }, // menu text
    { 8, nullptr, QPalette::Text }, // window text
    { 13, nullptr, QPalette::Highlight }, { 14, nullptr, QPalette::HighlightedText },
    { 15, nullptr, QPalette::Button }, // button face
    { 16, nullptr, QPalette::Dark }, // button shadow
    { 17, nullptr, QPalette::PlaceholderText }, // grey text
    { 18, nullptr, QPalette::ButtonText }, { 20, nullptr, QPalette::Light }, // button highlight
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
