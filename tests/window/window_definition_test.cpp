#include "app/menu_tree.h"
#include "window/menu_bar.h"
#include "window/vol_bar_model.h"
#include "window/window_definition.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace WindowDefinition;

// A piano octave from C: offsets 0, 2, 4, 5, 7, 9 and 11 are white keys, 240 twips apart from 450;
// the black keys are shorter and drawn in the system's menu-text colour. The white keys of the
// middle octave, and only those, carry their note's letter.
TEST(WindowDefinition, keysFollowThePianoPatternWithWhiteKeys240TwipsApartFrom450)
{
    int white = 0;
    for (int k = 0; k < KeyCount; ++k) {
        const Control key = keyControl(k);
        const bool isWhite = std::string_view("WBWBWWBWBWBW")[k % 12] == 'W';
        const std::string letter
            = isWhite && k / 12 == 2 ? std::string(1, "CDEFGAB"[white % 7]) : "";
        const std::size_t start = key.caption.find_first_not_of(' ');
        EXPECT_EQ(start == std::string_view::npos ? "" : key.caption.substr(start), letter) << k;
        if (isWhite) {
            EXPECT_EQ(std::tuple(key.left, key.height, *key.backColour),
                std::tuple(450 + 240 * white++, 975, Colour::White))
                << k;
        } else {
            EXPECT_EQ(std::pair(key.height, *key.backColour), std::pair(615, Colour::MenuText))
                << k;
        }
    }
}

// The menu bar: "Instruments" (Cat_Instrument 0) opens the 15 families (1-15) and each family its
// 8 entries; "Gamme et Accord" and "Clé" open theirs. The entries' indices run on from 16 to 164
// without a gap. A '&' is shown as itself, not as an access key.
TEST(MenuBar, familiesAndEntriesInOrderWithIndicesRunningOnWithoutGaps)
{
    std::vector<std::string> menus;
    std::vector<int> entries, opener, expected, expectedOpener; // each entry, what opens it
    const auto entry = [&](const MenuItem& item, const MenuItem& from) {
        entries.push_back(item.index);
        opener.push_back(from.index);
        EXPECT_TRUE(item.entries.empty()) << item.index;
    };
    for (const MenuItem& top : menuBar()) {
        menus.push_back(std::string(top.caption) + " " + std::to_string(top.index));
        for (const MenuItem& item : top.entries)
            if (MenuIndex::isFamily(item.index))
                for (const MenuItem& inFamily : item.entries)
                    entry(inFamily, item);
            else
                entry(item, top);
    }
    for (int i = 16; i < MenuIndex::Count; ++i) {
        expected.push_back(i);
        expectedOpener.push_back(i <= 135 ? (i - 8) / 8 : -1);
    }
    EXPECT_EQ(
        menus, (std::vector<std::string> { "Instruments 0", "Gamme et Accord -1", "Clé -1" }));
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(opener, expectedOpener);
    EXPECT_EQ(menuText("R&B &&"), "R&&B &&&&");
    EXPECT_EQ(shownCaption("R&&B &&&&"), "R&B &&");
}

// The velocity bar as start-up sets it, 127 at the top to 0: positions count down from the top,
// an arrow, the trough and a notch of the wheel step 1, 10 and 3, parts of a notch add up, moves
// stop at the ends, and only a change of the value as read is reported. A range may run up too.
TEST(VolBarModel, runsDownFrom127AndReportsOnlyChangesOfItsValue)
{
    VolBarModel bar;
    std::vector<std::tuple<bool, int, int>> moves; // changed, value, position
    const auto move
        = [&](bool changed) { moves.emplace_back(changed, bar.value(), bar.position()); };
    move(bar.setMinimum(127)); // pulls the value inside the range
    move(bar.setMaximum(0));
    move(bar.setValue(127));
    move(bar.step(VolBarModel::LineStep));
    move(bar.step(-5));
    move(bar.step(-VolBarModel::LineStep));
    move(bar.step(VolBarModel::PageStep));
    move(bar.moveTo(500));
    move(bar.wheel(60));
    move(bar.wheel(60));
    move(bar.wheel(-VolBarModel::WheelNotch));
    move(bar.setValue(-20));
    move(bar.setMaximum(200));
    move(bar.step(1));
    EXPECT_EQ(moves,
        (std::vector<std::tuple<bool, int, int>> { { true, 127, 0 }, { false, 127, 0 },
            { false, 127, 0 }, { true, 126, 1 }, { true, 127, 0 }, { false, 127, 0 },
            { true, 117, 10 }, { true, 0, 127 }, { false, 0, 127 }, { true, 3, 124 },
            { true, 0, 127 }, { false, 0, 127 }, { true, 127, 0 }, { true, 128, 1 } }));
    EXPECT_EQ(bar.span(), 73);
}
