#include "scales/scale_catalogue.h"

#include <cstdint>
#include <initializer_list>

namespace ScaleCatalogue {
namespace {

using Degrees = std::array<std::int16_t, 7>;

// Offsets in ascending order, padded with NoNote up to seven elements.
constexpr Degrees pattern(std::initializer_list<std::int16_t> offsets)
{
    Degrees degrees {};
    degrees.fill(NoNote);
    int i = 0;
    for (const std::int16_t offset : offsets)
        degrees[i++] = offset;
    return degrees;
}

// Set of root notes 0-11, one bit per root.
constexpr std::uint16_t rootSet(std::initializer_list<int> roots)
{
    std::uint16_t bits = 0;
    for (const int root : roots)
        bits |= static_cast<std::uint16_t>(1u << root);
    return bits;
}

// One entry of the "Gamme et Accord" menu. For the roots in `secondRoots` the second pattern,
// the same notes with some moved by an octave, replaces the first.
struct Scale
{
    std::string_view caption;
    std::string_view symbol;
    Degrees first;
    std::uint16_t secondRoots = 0;
    Degrees second {};
};

constexpr std::array<Scale, ScaleCount> scales { {
    { "Gammes Majeur", "", pattern({ 0, 2, 4, 5, 7, 9, 11 }) },
    { "Gamme Mineur Harmonique", "", pattern({ 0, 2, 3, 5, 7, 8, 11 }) },
    { "Gamme Mineur Mélodique >>", "", pattern({ 0, 2, 3, 5, 7, 9, 11 }) },
    { "Gamme Mineur Mélodique <<", "", pattern({ 0, 2, 3, 5, 7, 8, 11 }) },
    { "Accord Majeur", "", pattern({ 0, 4, 7 }) },
    { "Accord Quinte augmentée", "+5", pattern({ 0, 4, 8 }) },
    { "Accord Majeur avec Sixte", "6", pattern({ 0, 4, 7, 9 }), rootSet({ 3, 4 }),
        pattern({ 4, 7, 9, 12 }) },
    { "Accord de 7è de dominante", "7", pattern({ 0, 4, 7, 10 }), rootSet({ 2, 3, 4 }),
        pattern({ 4, 7, 10, 12 }) },
    { "Accord Majeur avec 7è majeur", "M7", pattern({ 0, 4, 7, 11 }), rootSet({ 1, 2, 3, 4 }),
        pattern({ 7, 11, 12, 16 }) },
    { "Accord Mineur", "m", pattern({ 0, 3, 7 }) },
    { "Accord Mineur avec Sixte", "m6", pattern({ 0, 3, 7, 9 }), rootSet({ 3, 4 }),
        pattern({ 3, 7, 9, 12 }) },
    { "Accord Mineur avec 7è mineur", "m7", pattern({ 0, 3, 7, 10 }), rootSet({ 2, 3, 4 }),
        pattern({ 7, 10, 12, 15 }) },
    { "Accord Mineur avec 7è majeur", "mM7", pattern({ 0, 3, 7, 11 }) },
    { "Accord de 7è diminuée", "dim", pattern({ 0, 3, 6, 9 }), rootSet({ 3, 4 }),
        pattern({ -3, 0, 3, 6 }) },
    { "Accord 7è avec Quinte augmentée", "7+5", pattern({ -2, 0, 4, 8 }), rootSet({ 4, 5, 6 }),
        pattern({ -4, -2, 0, 4 }) },
    { "Accord 9è Majeur", "9", pattern({ 0, 4, 7, 10, 14 }) },
    { "Accord 9è Mineur", "9m", pattern({ 0, 4, 7, 10, 13 }) },
} };

constexpr std::array<std::string_view, RootCount> roots { "Do", "Do # - Ré b", "Ré", "Ré # - Mi b",
    "Mi - Fa b", "Mi # - Fa", "Fa # - Sol b", "Sol", "Sol # La b", "La", "La # Si b", "Si" };

} // namespace

std::string_view scaleCaption(int scaleIndex)
{
    if (scaleIndex < 0 || scaleIndex >= ScaleCount)
        return {};
    return scales[scaleIndex].caption;
}

std::string_view rootCaption(int rootNote)
{
    if (rootNote < 0 || rootNote >= RootCount)
        return {};
    return roots[rootNote];
}

} // namespace ScaleCatalogue

ScaleCatalogue::Pattern Load_Pattern(std::int16_t scaleIndex, std::int16_t rootNote)
{
    using namespace ScaleCatalogue;
    Pattern result { {}, {} };
    result.degrees.fill(NoNote);
    if (scaleIndex < 0 || scaleIndex >= ScaleCount || rootNote < 0 || rootNote >= RootCount)
        return result;
    const Scale& scale = scales[scaleIndex];
    const bool second = (scale.secondRoots >> rootNote) & 1u;
    result.symbol = scale.symbol;
    result.degrees = second ? scale.second : scale.first;
    return result;
}
