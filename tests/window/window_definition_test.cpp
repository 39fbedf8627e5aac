#include "window/menu_bar.h"
#include "window/window_definition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

using namespace WindowDefinition;

namespace {

// Position in the stacking order, lowest first; -1 when absent.
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

// One octave of a piano from C: W white, B black.
bool isWhite(int key)
{
    return std::string_view("WBWBWWBWBWBW")[key % 12] == 'W';
}

} // namespace

TEST(WindowDefinition, has126ControlsWithLabelsBeneathEveryKeyAndTheScrollBar)
{
    EXPECT_EQ(AllControls.size(), 126u);
    int keys = 0, markers = 0, highestLabel = -1, lowestOther = ControlCount;
    for (int n = 0; n < ControlCount; ++n) {
        const Control& c = AllControls[n];
        keys += c.name == "key";
        markers += c.name == "Lbl_repere_note";
        const bool label = c.kind == ControlKind::TextLabel || c.kind == ControlKind::MarkerBar;
        if (label)
            highestLabel = n;
        else
            lowestOther = std::min(lowestOther, n);
    }
    EXPECT_EQ(keys, 60);
    EXPECT_EQ(markers, 60);
    EXPECT_LT(highestLabel, lowestOther);
}

TEST(WindowDefinition, keysFollowThePianoPatternWithWhiteKeys240TwipsApartFrom450)
{
    int white = 0;
    for (int k = 0; k < 60; ++k) {
        const Control& key = member("key", k);
        if (isWhite(k)) {
            EXPECT_EQ(key.left, 450 + 240 * white++) << k;
            EXPECT_EQ(
                std::pair(key.backColour.value_or(0), key.height), std::pair(Colour::White, 975))
                << k;
        } else {
            EXPECT_EQ(
                std::pair(key.backColour.value_or(0), key.height), std::pair(Colour::MenuText, 615))
                << k;
        }
    }
    EXPECT_EQ(white, 35);
}

TEST(WindowDefinition, eachBlackKeyOverlapsAndLiesAboveBothWhiteNeighbours)
{
    for (int k = 1; k < 60; ++k) {
        if (isWhite(k))
            continue;
        const Control& black = member("key", k);
        const Control& left = member("key", k - 1);
        const Control& right = member("key", k + 1);
        EXPECT_GE(black.left - left.left, 60) << k;
        EXPECT_LE(black.left - left.left, 150) << k;
        EXPECT_GT(black.left + black.width, right.left) << k;
        EXPECT_GT(stackPosition("key", k), stackPosition("key", k - 1)) << k;
        EXPECT_GT(stackPosition("key", k), stackPosition("key", k + 1)) << k;
    }
}

TEST(WindowDefinition, markersOfKey0And1ShowBelowAndAboveTheirKeys)
{
    const Control& m0 = member("Lbl_repere_note", 0);
    const Control& m1 = member("Lbl_repere_note", 1);
    EXPECT_EQ((std::array { m0.left, m0.left + m0.width, m0.top, m0.top + m0.height }),
        (std::array { 450, 645, 1530, 1605 }));
    EXPECT_EQ((std::array { m1.left, m1.left + m1.width, m1.top, m1.top + m1.height }),
        (std::array { 570, 765, 510, 585 }));
}

TEST(WindowDefinition, menuIndicesRunOnWithoutGaps)
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
}
