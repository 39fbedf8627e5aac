#include "window/menu_bar.h"
#include "window/window_definition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace WindowDefinition;

namespace {

struct Span
{
    int left, top, right, bottom;
    bool operator==(const Span&) const = default;
};

Span span(const Control& c)
{
    return { c.left, c.top, c.left + c.width, c.top + c.height };
}

// Position of each control in the stacking order, lowest first.
int stackPosition(std::string_view name, int index)
{
    for (int n = 0; n < ControlCount; ++n)
        if (AllControls[n].name == name && AllControls[n].index == index)
            return n;
    return -1;
}

const Control& member(std::string_view name, int index)
{
    return AllControls.at(stackPosition(name, index));
}

const Control& single(std::string_view name)
{
    return member(name, -1);
}

// One octave of a piano from C: W white, B black.
constexpr std::string_view Octave = "WBWBWWBWBWBW";

bool isWhite(int key)
{
    return Octave[key % 12] == 'W';
}

} // namespace

TEST(WindowDefinition, has126ControlsEachNamedOnce)
{
    EXPECT_EQ(AllControls.size(), 126u);
    int keys = 0, markers = 0;
    for (const Control& c : AllControls) {
        keys += c.name == "key";
        markers += c.name == "Lbl_repere_note";
    }
    EXPECT_EQ(keys, 60);
    EXPECT_EQ(markers, 60);
    for (std::string_view name :
        { "vol", "Lbl_Instrument_Name", "Lbl_OctaMoins", "Lbl_OctPlus", "Lbl_gamme", "Lbl_note" })
        EXPECT_GE(stackPosition(name, -1), 0) << name;
}

TEST(WindowDefinition, keysFollowThePianoPattern35WhiteAnd25Black)
{
    int white = 0, black = 0;
    for (int k = 0; k < 60; ++k) {
        const Control& key = member("key", k);
        if (isWhite(k)) {
            ++white;
            EXPECT_EQ(key.backColour, 0x00FFFFFFu) << k;
            EXPECT_EQ(key.height, 975) << k;
        } else {
            ++black;
            EXPECT_EQ(key.backColour, 0x80000007u) << k;
            EXPECT_EQ(key.foreColour, 0x8000000Eu) << k;
            EXPECT_EQ(key.height, 615) << k;
        }
        EXPECT_EQ(key.top, 570);
        EXPECT_EQ(key.width, 225);
    }
    EXPECT_EQ(white, 35);
    EXPECT_EQ(black, 25);
}

TEST(WindowDefinition, whiteKeysStand240TwipsApartFrom450)
{
    int w = 0;
    for (int k = 0; k < 60; ++k) {
        if (isWhite(k)) {
            EXPECT_EQ(member("key", k).left, 450 + 240 * w) << k;
            ++w;
        }
    }
    EXPECT_EQ(member("key", 59).left + member("key", 59).width, 8835);
}

TEST(WindowDefinition, eachBlackKeyOverlapsBothWhiteNeighbours)
{
    for (int k = 0; k < 60; ++k) {
        if (isWhite(k))
            continue;
        const Span black = span(member("key", k));
        const Span left = span(member("key", k - 1));
        const Span right = span(member("key", k + 1));
        EXPECT_GE(black.left - left.left, 60) << k;
        EXPECT_LE(black.left - left.left, 150) << k;
        EXPECT_LT(black.left, left.right) << k;
        EXPECT_GT(black.right, right.left) << k;
        // Black keys lie above both neighbours; the markers lie beneath every key.
        EXPECT_GT(stackPosition("key", k), stackPosition("key", k - 1)) << k;
        EXPECT_GT(stackPosition("key", k), stackPosition("key", k + 1)) << k;
    }
}

TEST(WindowDefinition, labelsLieBeneathEveryKeyAndTheScrollBar)
{
    int lowestKeyOrBar = stackPosition("vol", -1);
    int highestLabel = -1;
    for (int n = 0; n < ControlCount; ++n) {
        const ControlKind kind = AllControls[n].kind;
        if (kind == ControlKind::Key)
            lowestKeyOrBar = std::min(lowestKeyOrBar, n);
        else if (kind == ControlKind::TextLabel || kind == ControlKind::MarkerBar)
            highestLabel = n;
    }
    EXPECT_LT(highestLabel, lowestKeyOrBar);
}

TEST(WindowDefinition, markersShowJustBelowWhiteKeysAndJustAboveBlackKeys)
{
    EXPECT_EQ(span(member("Lbl_repere_note", 0)), (Span { 450, 1530, 645, 1605 }));
    EXPECT_EQ(span(member("Lbl_repere_note", 1)), (Span { 570, 510, 765, 585 }));
    for (int k = 0; k < 60; ++k) {
        const Span key = span(member("key", k));
        const Span marker = span(member("Lbl_repere_note", k));
        EXPECT_EQ(isWhite(k) ? key.bottom - marker.top : marker.bottom - key.top, 15) << k;
        EXPECT_EQ(member("Lbl_repere_note", k).backColour, 0x0000FF00u);
        EXPECT_TRUE(member("Lbl_repere_note", k).visible);
    }
}

TEST(WindowDefinition, middleOctaveWhiteKeysAloneHaveCaptions)
{
    std::vector<std::pair<int, std::string_view>> captioned;
    for (int k = 0; k < 60; ++k)
        if (!member("key", k).caption.empty())
            captioned.emplace_back(k, member("key", k).caption);
    const std::vector<std::pair<int, std::string_view>> expected { { 24, "     C" },
        { 26, "     D" }, { 28, "     E" }, { 29, "     F" }, { 31, "     G" }, { 33, "     A" },
        { 35, "      B" } };
    EXPECT_EQ(captioned, expected);
}

TEST(WindowDefinition, octPlusLiesPartlyBeneathTheScrollBar)
{
    const Span bar = span(single("vol"));
    const Span label = span(single("Lbl_OctPlus"));
    EXPECT_LT(label.left, bar.left);
    EXPECT_GT(bar.bottom, label.top);
    EXPECT_LT(stackPosition("Lbl_OctPlus", -1), stackPosition("vol", -1));
}

TEST(WindowDefinition, menuIndexRangesRunOnWithoutGaps)
{
    using MenuIndex::findArray;
    EXPECT_EQ(findArray("Instrument1")->first, 16);
    EXPECT_EQ(findArray("Instrument15")->last, 135);
    EXPECT_EQ(findArray("Gamme")->first, 136);
    EXPECT_EQ(findArray("Gamme")->last, 152);
    EXPECT_EQ(findArray("Note")->first, 153);
    EXPECT_EQ(findArray("Note")->last, 164);
    int next = 0;
    for (const MenuIndex::MenuArray& a : MenuIndex::Arrays) {
        EXPECT_EQ(a.first, next) << a.name;
        next = a.last + 1;
    }
    for (std::int16_t family = 1; family <= 15; ++family) {
        const MenuIndex::MenuArray& entries = MenuIndex::familyEntries(family);
        EXPECT_EQ(entries.name, "Instrument" + std::to_string(family));
        EXPECT_EQ(entries.last - entries.first, 7);
    }
}

TEST(WindowDefinition, onlyTheListedEventsRunABehaviour)
{
    EXPECT_EQ(behaviour("key", Event::MouseDown), Behaviour::KeyPress);
    EXPECT_EQ(behaviour("key", Event::MouseUp), Behaviour::KeyRelease);
    EXPECT_EQ(behaviour("Instrument15", Event::Chosen), Behaviour::Instruments);
    EXPECT_EQ(behaviour("Lbl_Instrument_Name", Event::Click), Behaviour::RedrawScale);
    for (std::string_view silent : { "Lbl_note", "Lbl_gamme", "Lbl_repere_note", "Midi_Instrument",
             "Cat_Instrument", "Gam_acc", "Not" }) {
        EXPECT_FALSE(behaviour(silent, Event::Click)) << silent;
        EXPECT_FALSE(behaviour(silent, Event::Chosen)) << silent;
    }
}
