#include "scale_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

namespace {

// Intervals above the root, in semitones.
constexpr int P1 = 0, M2 = 2, m3 = 3, M3 = 4, P4 = 5, d5 = 6, P5 = 7, A5 = 8, m6 = 8, M6 = 9,
              d7 = 9, m7 = 10, M7 = 11, m9 = 13, M9 = 14;

using Spelling = std::set<int>;
const Spelling majorTriad { P1, M3, P5 }, minorTriad { P1, m3, P5 };
Spelling with(Spelling s, std::initializer_list<int> more)
{
    s.insert(more);
    return s;
}

// What each entry of the "Gamme et Accord" menu should sound like, in menu order.
const struct
{
    const char* caption;
    Spelling intervals;
} entries[] = {
    { "Gammes Majeur", { P1, M2, M3, P4, P5, M6, M7 } },
    { "Gamme Mineur Harmonique", { P1, M2, m3, P4, P5, m6, M7 } },
    { "Gamme Mineur Mélodique >>", { P1, M2, m3, P4, P5, M6, M7 } },
    { "Gamme Mineur Mélodique <<", { P1, M2, m3, P4, P5, m6, M7 } }, // marked as the harmonic one
    { "Accord Majeur", majorTriad },
    { "Accord Quinte augmentée", { P1, M3, A5 } },
    { "Accord Majeur avec Sixte", with(majorTriad, { M6 }) },
    { "Accord de 7è de dominante", with(majorTriad, { m7 }) },
    { "Accord Majeur avec 7è majeur", with(majorTriad, { M7 }) },
    { "Accord Mineur", minorTriad },
    { "Accord Mineur avec Sixte", with(minorTriad, { M6 }) },
    { "Accord Mineur avec 7è mineur", with(minorTriad, { m7 }) },
    { "Accord Mineur avec 7è majeur", with(minorTriad, { M7 }) },
    { "Accord de 7è diminuée", { P1, m3, d5, d7 } },
    { "Accord 7è avec Quinte augmentée", { P1, M3, A5, m7 } },
    { "Accord 9è Majeur", with(majorTriad, { m7, M9 }) },
    { "Accord 9è Mineur", with(majorTriad, { m7, m9 }) },
};

// (entry, root, octave position) whose lowest or highest note falls off the 60 keys.
const std::set<std::tuple<int, int, int>> offTheKeyboard { { 14, 0, -2 }, { 14, 1, -2 },
    { 15, 10, 1 }, { 15, 11, 1 }, { 16, 11, 1 } };

TEST(ScaleCombinations, everyEntryRootAndOctaveMarksTheRightNotes)
{
    std::set<std::tuple<int, int, int>> short_;
    for (int e = 0; e < 17; ++e) {
        for (int root = 0; root < 12; ++root) {
            for (int shift = -2; shift <= 1; ++shift) {
                const std::string where = std::string(entries[e].caption) + " root "
                    + std::to_string(root) + " shift " + std::to_string(shift);
                StartedDisplay d;
                d.shiftOctave(shift);
                ASSERT_NO_THROW(d.chooseRoot(root)) << where; // a marker outside 0-59 throws
                ASSERT_NO_THROW(d.chooseGamme(e)) << where;
                for (const std::string& call : d.controls.log)
                    ASSERT_TRUE(call.starts_with("hide marker") || call.starts_with("show marker")
                        || call.starts_with("caption"))
                        << where << ": " << call;

                Spelling expected;
                for (const int interval : entries[e].intervals)
                    expected.insert((root + interval) % 12);
                Spelling shown;
                const int rootMarker = 24 + 12 * shift + root;
                for (const int marker : d.markers()) {
                    shown.insert(marker % 12); // key 0 is a Do
                    EXPECT_GE(marker, rootMarker - 4) << where;
                    EXPECT_LE(marker, rootMarker + 16) << where;
                }
                EXPECT_EQ(d.gamme(), entries[e].caption);
                EXPECT_TRUE(d.note().starts_with("(" + d.display.state().Root_Name + ") "));

                if (d.markers().size() == expected.size()) {
                    EXPECT_EQ(shown, expected) << where;
                    continue;
                }
                short_.insert({ e, root, shift });
                EXPECT_EQ(d.markers().size() + 1, expected.size()) << where;
                EXPECT_TRUE(
                    std::includes(expected.begin(), expected.end(), shown.begin(), shown.end()))
                    << where;
            }
        }
    }
    EXPECT_EQ(short_, offTheKeyboard);
}

TEST(ScaleCombinations, offTheKeyboardSkipsOnlyTheMissingNote)
{
    const struct
    {
        int entry, root, shift;
        std::vector<int> markers;
        const char* note;
    } cases[] = {
        { 14, 0, -2, { 0, 4, 8 }, "(Do) 7+5" },
        { 14, 1, -2, { 1, 5, 9 }, "(Do # - Ré b) 7+5" },
        { 15, 10, 1, { 46, 50, 53, 56 }, "(La # Si b) 9" },
        { 15, 11, 1, { 47, 51, 54, 57 }, "(Si) 9" },
        { 16, 11, 1, { 47, 51, 54, 57 }, "(Si) 9m" },
    };
    for (const auto& c : cases) {
        StartedDisplay d;
        d.chooseGamme(c.entry);
        d.shiftOctave(c.shift);
        d.chooseRoot(c.root);
        EXPECT_EQ(d.markers(), c.markers) << c.note;
        EXPECT_EQ(d.note(), c.note);
        EXPECT_EQ(d.gamme(), entries[c.entry].caption);
    }
}

} // namespace
