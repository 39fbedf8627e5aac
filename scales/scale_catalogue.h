#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The 17 scales and chords of the "Gamme et Accord" menu and the 12 root notes of the "Clé" menu.
namespace ScaleCatalogue {

inline constexpr int ScaleCount = 17;
inline constexpr int RootCount = 12;
inline constexpr std::int16_t NoNote = 99;

// Chord symbol and elements 1-7 of `Degrees`: semitone offsets from the root, NoNote after the
// last one.
struct Pattern
{
    std::string_view symbol;
    std::array<std::int16_t, 7> degrees;
    bool operator==(const Pattern&) const = default;
};

[[nodiscard]] std::string_view scaleCaption(int scaleIndex); // 0-16, empty outside
[[nodiscard]] std::string_view rootCaption(int rootNote); // 0-11, empty outside

} // namespace ScaleCatalogue

// Pattern and chord symbol of scale or chord `scaleIndex` (0-16) on root `rootNote` (0-11).
[[nodiscard]] ScaleCatalogue::Pattern Load_Pattern(std::int16_t scaleIndex, std::int16_t rootNote);
