#include "scales/scale_catalogue.h"

#include <gtest/gtest.h>

namespace {

using Degrees = std::array<std::int16_t, 7>;
constexpr std::int16_t X = ScaleCatalogue::NoNote;

TEST(LoadPattern, voicingChangesWithTheRootOnly)
{
    const struct
    {
        std::int16_t scale;
        std::initializer_list<std::int16_t> roots;
        const char* symbol;
        Degrees degrees;
    } cases[] = {
        { 8, { 0, 5, 11 }, "M7", { 0, 4, 7, 11, X, X, X } },
        { 8, { 1, 2, 3, 4 }, "M7", { 7, 11, 12, 16, X, X, X } },
        { 14, { 0, 1, 2, 3, 7, 8, 9, 10, 11 }, "7+5", { -2, 0, 4, 8, X, X, X } },
        { 14, { 4, 5, 6 }, "7+5", { -4, -2, 0, 4, X, X, X } },
        { 13, { 2 }, "dim", { 0, 3, 6, 9, X, X, X } },
        { 13, { 3 }, "dim", { -3, 0, 3, 6, X, X, X } },
        { 0, { 0, 6 }, "", { 0, 2, 4, 5, 7, 9, 11 } },
        { 4, { 0 }, "", { 0, 4, 7, X, X, X, X } },
        { 15, { 0 }, "9", { 0, 4, 7, 10, 14, X, X } },
        { 16, { 0 }, "9m", { 0, 4, 7, 10, 13, X, X } },
    };
    for (const auto& c : cases) {
        for (const std::int16_t root : c.roots) {
            const ScaleCatalogue::Pattern p = Load_Pattern(c.scale, root);
            EXPECT_EQ(p.symbol, c.symbol) << c.scale << " root " << root;
            EXPECT_EQ(p.degrees, c.degrees) << c.scale << " root " << root;
        }
    }
}

TEST(LoadPattern, descendingMelodicMinorIsTheHarmonicPatternForEveryRoot)
{
    for (std::int16_t root = 0; root < 12; ++root)
        EXPECT_EQ(Load_Pattern(3, root), Load_Pattern(1, root)) << root;
}

TEST(LoadPattern, valuesOutsideTheMenusGiveNoNotes)
{
    const ScaleCatalogue::Pattern none { "", { X, X, X, X, X, X, X } };
    for (const auto& [scale, root] : { std::pair<std::int16_t, std::int16_t> { -1, 0 }, { 17, 0 },
             { 0, -1 }, { 0, 12 }, { -32768, 32767 } })
        EXPECT_EQ(Load_Pattern(scale, root), none);
}

} // namespace
