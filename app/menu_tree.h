#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The caption that the menu bar shows for a family submenu (1-15) or an entry (16-164), exactly as
// the catalogues hold it; empty for any other index.
[[nodiscard]] std::string_view menuEntryCaption(std::int16_t menuIndex);

// An item of the menu bar: a menu that opens its entries (a top-level menu, an instrument family)
// or, without entries, an entry to choose. `index`: its menu index (Cat_Instrument 0, the
// families 1-15, the entries 16-164), or -1 for the top-level menus that have none.
struct MenuItem
{
    std::int16_t index;
    std::string_view caption;
    std::vector<MenuItem> entries;
};

// The top-level menus in display order, each with its tree. Every window system makes its native
// menus of it, an item at a time.
[[nodiscard]] const std::vector<MenuItem>& menuBar();

// A caption as a menu shows it verbatim: window systems make an access key of the character after
// a '&', so each '&' is doubled. And back: the caption that a menu's text shows.
[[nodiscard]] std::string menuText(std::string_view caption);
[[nodiscard]] std::string shownCaption(std::string_view text);
