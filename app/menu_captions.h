#pragma once

#include <cstdint>
#include <string_view>

// The caption that the menu bar shows for a family submenu (1-15) or an entry (16-164), exactly as
// the catalogues hold it; empty for any other index. Every window system builds its menus from it.
[[nodiscard]] std::string_view menuEntryCaption(std::int16_t menuIndex);
