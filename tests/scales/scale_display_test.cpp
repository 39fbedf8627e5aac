#include "scales/scale_catalogue.h"
#include "scales/scale_display.h"
#include "tests/fakes/recording_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Markers = std::vector<int>;

// Entries of the "Gamme et Accord" menu and roots of the "Clé" menu, by position.
constexpr int Maj6 = 6, Dom7 = 7, Maj7 = 8, Min6 = 10, Min7 = 11, Dim7 = 13, Aug7 = 14;

// A scale display after start-up, driven through its handlers as the menus and labels would.
struct StartedDisplay
{
    StartedDisplay()
    {
        display.start();
        controls.log.clear();
    }
    void chooseGamme(int scale) { display.gammeChosen(static_cast<std::int16_t>(136 + scale)); }
    void chooseRoot(int root) { display.noteChosen(static_cast<std::int16_t>(153 + root)); }
    void shiftOctave(int steps)
    {
        for (; steps < 0; ++steps)
            display.octaMoinsClicked();
        for (; steps > 0; --steps)
            display.octPlusClicked();
    }
    Markers markers() const { return controls.visibleMarkers(); }
    std::string note() const { return controls.caption(CaptionLabel::Lbl_note); }
    std::string gamme() const { return controls.caption(CaptionLabel::Lbl_gamme); }

    RecordingControls controls;
    ScaleDisplay display { controls };
};

// Some chords are voiced another way on a few roots, to stay near the captioned octave: offsets
// from the root's marker 24 + root, for those roots and the roots on either side of them.
TEST(ScaleDisplay, someChordsChangeVoicingWithTheRoot)
{
    const struct
    {
        int scale;
        std::vector<int> roots, offsets;
    } cases[] = {
        { Maj6, { 2, 5 }, { 0, 4, 7, 9 } },
        { Maj6, { 3, 4 }, { 4, 7, 9, 12 } },
        { Dom7, { 1, 5 }, { 0, 4, 7, 10 } },
        { Dom7, { 2, 3, 4 }, { 4, 7, 10, 12 } },
        { Maj7, { 0, 5 }, { 0, 4, 7, 11 } },
        { Maj7, { 1, 2, 3, 4 }, { 7, 11, 12, 16 } },
        { Min6, { 2, 5 }, { 0, 3, 7, 9 } },
        { Min6, { 3, 4 }, { 3, 7, 9, 12 } },
        { Min7, { 1, 5 }, { 0, 3, 7, 10 } },
        { Min7, { 2, 3, 4 }, { 7, 10, 12, 15 } },
        { Dim7, { 2, 5 }, { 0, 3, 6, 9 } },
        { Dim7, { 3, 4 }, { -3, 0, 3, 6 } },
        { Aug7, { 3, 7 }, { -2, 0, 4, 8 } },
        { Aug7, { 4, 5, 6 }, { -4, -2, 0, 4 } },
    };
    for (const auto& c : cases) {
        for (const int root : c.roots) {
            StartedDisplay d;
            d.chooseGamme(c.scale);
            d.chooseRoot(root);
            Markers expected;
            for (const int offset : c.offsets)
                expected.push_back(24 + root + offset);
            EXPECT_EQ(d.markers(), expected) << c.scale << " root " << root;
        }
    }
}

// Intervals above the root, in semitones.
constexpr int P1 = 0, M2 = 2, m3 = 3, M3 = 4, P4 = 5, d5 = 6, P5 = 7, A5 = 8, m6 = 8, M6 = 9,
              d7 = 9, m7 = 10, M7 = 11, m9 = 13, M9 = 14;

// What each entry of the "Gamme et Accord" menu should sound, in menu order, and its symbol.
const struct
{
    const char* symbol;
    std::set<int> intervals;
} entries[] = {
    { "", { P1, M2, M3, P4, P5, M6, M7 } }, // major scale
    { "", { P1, M2, m3, P4, P5, m6, M7 } }, // harmonic minor
    { "", { P1, M2, m3, P4, P5, M6, M7 } }, // melodic minor, up
    { "", { P1, M2, m3, P4, P5, m6, M7 } }, // melodic minor, down: shown as the harmonic minor
    { "", { P1, M3, P5 } }, { "+5", { P1, M3, A5 } }, { "6", { P1, M3, P5, M6 } },
    { "7", { P1, M3, P5, m7 } }, { "M7", { P1, M3, P5, M7 } }, { "m", { P1, m3, P5 } },
    { "m6", { P1, m3, P5, M6 } }, { "m7", { P1, m3, P5, m7 } }, { "mM7", { P1, m3, P5, M7 } },
    { "dim", { P1, m3, d5, d7 } }, { "7+5", { P1, M3, A5, m7 } }, { "9", { P1, M3, P5, m7, M9 } },
    { "9m", { P1, M3, P5, m7, m9 } }, // as the menu has it
};

// Every entry, root and octave position marks the notes of its spelling near the root, and
// names itself; where a note falls off the 60 keys, only that one marker is missing. The octave
// labels stop two octaves down and one up.
TEST(ScaleDisplay, everyEntryRootAndOctaveMarksTheRightNotes)
{
    std::set<std::tuple<int, int, int>> oneShort;
    for (int e = 0; e < 17; ++e) {
        for (int root = 0; root < 12; ++root) {
            for (int shift = -3; shift <= 2; ++shift) {
                const std::string where = "entry " + std::to_string(e) + " root "
                    + std::to_string(root) + " shift " + std::to_string(shift);
                StartedDisplay d;
                d.shiftOctave(shift);
                ASSERT_NO_THROW(d.chooseRoot(root)) << where; // a marker outside 0-59 throws
                ASSERT_NO_THROW(d.chooseGamme(e)) << where;
                EXPECT_EQ(d.note(),
                    "(" + d.controls.menuCaption(static_cast<std::int16_t>(153 + root)) + ") "
                        + entries[e].symbol);
                EXPECT_EQ(d.gamme(), d.controls.menuCaption(static_cast<std::int16_t>(136 + e)));
                for (const std::string& call : d.controls.log)
                    ASSERT_TRUE(call.starts_with("hide marker") || call.starts_with("show marker")
                        || call.starts_with("caption"))
                        << where << ": " << call;

                std::set<int> expected, shown;
                for (const int interval : entries[e].intervals)
                    expected.insert((root + interval) % 12);
                const int rootMarker = 24 + 12 * std::clamp(shift, -2, 1) + root;
                for (const int marker : d.markers()) {
                    shown.insert(marker % 12); // key 0 is a Do
                    EXPECT_GE(marker, rootMarker - 4) << where;
                    EXPECT_LE(marker, rootMarker + 16) << where;
                }
                if (d.markers().size() + 1 == expected.size()) {
                    oneShort.insert({ e, root, std::clamp(shift, -2, 1) });
                } else {
                    EXPECT_EQ(d.markers().size(), expected.size()) << where;
                }
                EXPECT_TRUE(
                    std::includes(expected.begin(), expected.end(), shown.begin(), shown.end()))
                    << where;
            }
        }
    }
    const std::set<std::tuple<int, int, int>> offTheKeyboard { { 14, 0, -2 }, { 14, 1, -2 },
        { 15, 10, 1 }, { 15, 11, 1 }, { 16, 11, 1 } };
    EXPECT_EQ(oneShort, offTheKeyboard);
    for (const auto& [scale, root] : { std::pair { -1, 0 }, { 17, 0 }, { 0, -1 }, { 0, 12 } })
        EXPECT_TRUE(
            std::ranges::all_of(Load_Pattern(std::int16_t(scale), std::int16_t(root)).degrees,
                [](auto degree) { return degree == ScaleCatalogue::NoNote; }))
            << "no notes outside the tables: " << scale << " " << root;
}

} // namespace
