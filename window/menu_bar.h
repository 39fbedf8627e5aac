#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Menu indices run in one sequence across the whole menu bar; each handler turns an entry's
// index into its own number by subtracting the first index of its range.
namespace MenuIndex {

inline constexpr std::int16_t Cat_Instrument = 0; // top-level "Instruments"
inline constexpr std::int16_t FirstFamily = 1; // Midi_Instrument 1-15
inline constexpr std::int16_t LastFamily = 15;
inline constexpr std::int16_t FirstInstrument = 16; // Instrument1 .. Instrument15: program + 16
inline constexpr std::int16_t LastInstrument = 135;
inline constexpr std::int16_t FirstGamme = 136; // Gamme: scale or chord + 136
inline constexpr std::int16_t LastGamme = 152;
inline constexpr std::int16_t FirstNote = 153; // Note: root note + 153
inline constexpr std::int16_t LastNote = 164;
inline constexpr int Count = LastNote + 1; // indices 0 to 164

constexpr bool isFamily(std::int16_t i)
{
    return i >= FirstFamily && i <= LastFamily;
}
constexpr bool isInstrument(std::int16_t i)
{
    return i >= FirstInstrument && i <= LastInstrument;
}
constexpr bool isGamme(std::int16_t i)
{
    return i >= FirstGamme && i <= LastGamme;
}
constexpr bool isNote(std::int16_t i)
{
    return i >= FirstNote && i <= LastNote;
}

// An indexed menu array: its entries carry the indices first..last of the menu bar's sequence.
struct MenuArray
{
    std::string_view name;
    std::int16_t first;
    std::int16_t last;
};

inline constexpr std::array<MenuArray, 19> Arrays { {
    { "Cat_Instrument", 0, 0 },
    { "Midi_Instrument", 1, 15 },
    { "Instrument1", 16, 23 },
    { "Instrument2", 24, 31 },
    { "Instrument3", 32, 39 },
    { "Instrument4", 40, 47 },
    { "Instrument5", 48, 55 },
    { "Instrument6", 56, 63 },
    { "Instrument7", 64, 71 },
    { "Instrument8", 72, 79 },
    { "Instrument9", 80, 87 },
    { "Instrument10", 88, 95 },
    { "Instrument11", 96, 103 },
    { "Instrument12", 104, 111 },
    { "Instrument13", 112, 119 },
    { "Instrument14", 120, 127 },
    { "Instrument15", 128, 135 },
    { "Gamme", 136, 152 },
    { "Note", 153, 164 },
} };

// The entry array that family submenu `family` (1-15) opens: Instrument1 .. Instrument15.
constexpr const MenuArray& familyEntries(std::int16_t family)
{
    return Arrays[static_cast<std::size_t>(family) + 1];
}

// The menus of the menu bar, in display order, and the array that each one opens.
struct TopMenu
{
    std::string_view name;
    std::string_view caption;
    std::string_view entries;
};

inline constexpr std::array<TopMenu, 3> TopMenus { {
    { "Cat_Instrument", "Instruments", "Midi_Instrument" },
    { "Gam_acc", "Gamme et Accord", "Gamme" },
    { "Not", "Clé", "Note" },
} };

// The array that the entry or submenu with menu index `i` belongs to; null for none.
constexpr const MenuArray* arrayOf(std::int16_t i)
{
    for (const MenuArray& a : Arrays)
        if (i >= a.first && i <= a.last)
            return &a;
    return nullptr;
}

constexpr const MenuArray* findArray(std::string_view name)
{
    for (const MenuArray& a : Arrays)
        if (a.name == name)
            return &a;
    return nullptr;
}

} // namespace MenuIndex
