#include "app/menu_tree.h"

#include "instruments/instrument_catalogue.h"
#include "scales/scale_catalogue.h"
#include "window/menu_bar.h"

std::string_view menuEntryCaption(std::int16_t i)
{
    if (MenuIndex::isFamily(i))
        return InstrumentCatalogue::familyCaption(i);
    if (MenuIndex::isInstrument(i))
        return InstrumentCatalogue::entryCaption(i - MenuIndex::FirstInstrument);
    if (MenuIndex::isGamme(i))
        return ScaleCatalogue::scaleCaption(i - MenuIndex::FirstGamme);
    if (MenuIndex::isNote(i))
        return ScaleCatalogue::rootCaption(i - MenuIndex::FirstNote);
    return {};
}

namespace {

// The items of menu array `array`; an instrument family opens its own entries.
std::vector<MenuItem> itemsOf(const MenuIndex::MenuArray& array)
{
    std::vector<MenuItem> items;
    for (std::int16_t i = array.first; i <= array.last; ++i)
        items.push_back({ i, menuEntryCaption(i),
            MenuIndex::isFamily(i) ? itemsOf(MenuIndex::familyEntries(i))
                                   : std::vector<MenuItem> {} });
    return items;
}

} // namespace

const std::vector<MenuItem>& menuBar()
{
    static const std::vector<MenuItem> menus = [] {
        std::vector<MenuItem> top;
        for (const MenuIndex::TopMenu& menu : MenuIndex::TopMenus) {
            const MenuIndex::MenuArray* own = MenuIndex::findArray(menu.name);
            top.push_back({ own ? own->first : std::int16_t(-1), menu.caption,
                itemsOf(*MenuIndex::findArray(menu.entries)) });
        }
        return top;
    }();
    return menus;
}

std::string menuText(std::string_view caption)
{
    std::string text;
    for (const char c : caption)
        text.append(c == '&' ? 2 : 1, c);
    return text;
}

std::string shownCaption(std::string_view text)
{
    std::string caption;
    for (std::size_t i = 0; i < text.size(); ++i) {
        caption += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&')
            ++i;
    }
    return caption;
}
