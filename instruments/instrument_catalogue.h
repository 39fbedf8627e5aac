#pragma once

#include <string_view>

// The 120 General MIDI programs offered by the instrument menus, in 15 families of 8, with their
// captions exactly as the menus show them.
namespace InstrumentCatalogue {

inline constexpr int FamilyCount = 15;
inline constexpr int EntriesPerFamily = 8;
inline constexpr int ProgramCount = 120;

// Caption of family submenu `family`, 1-15 ("PIANO" ...); empty outside that range.
[[nodiscard]] std::string_view familyCaption(int family);
// Caption of the entry for `program`, 0-119 ("000. Acoustic Grand Piano" ...); empty outside.
[[nodiscard]] std::string_view entryCaption(int program);

} // namespace InstrumentCatalogue
