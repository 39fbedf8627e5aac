#pragma once

#include <cstdint>

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

} // namespace MenuIndex
