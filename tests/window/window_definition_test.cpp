#include "window/menu_bar.h"
#include "window/window_definition.h"

#include <gtest/gtest.h>

#include <string>

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

// Each menu array's indices follow on from the previous array's, from 0 to 164.
TEST(WindowDefinition, menuIndicesRunOnWithoutGaps)
{
    int next = 0;
    for (const MenuIndex::MenuArray& a : MenuIndex::Arrays) {
        EXPECT_EQ(a.first, next) << a.name;
        next = a.last + 1;
    }
    EXPECT_EQ(next, MenuIndex::LastNote + 1);
}
