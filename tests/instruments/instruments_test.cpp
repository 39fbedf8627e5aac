#include "instruments/instruments.h"

#include "tests/fakes/recording_controls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Menus whose captions name their own index, to see which entries the label is read from.
class IndexedMenus : public RecordingControls
{
public:
    std::string menuCaption(std::int16_t i) const override { return "<" + std::to_string(i) + ">"; }
};

// Family k (1-15) holds programs 8(k-1) to 8(k-1)+7, entry index = program + 16; any other index
// changes nothing.
TEST(Instruments, anEntrySetsItsProgramAndLabelsItselfWithItsFamily)
{
    for (int index = -1; index <= 137; ++index) {
        WindowState state;
        state.Program = 42;
        IndexedMenus controls;
        Instruments(state, controls, static_cast<std::int16_t>(index));
        const bool entry = index >= 16 && index <= 135;
        EXPECT_EQ(state.Program, entry ? index - 16 : 42) << index;
        EXPECT_EQ(controls.log.size(), entry ? 1u : 0u) << index;
        if (entry) {
            EXPECT_EQ(controls.caption(CaptionLabel::Lbl_Instrument_Name),
                "<" + std::to_string((index - 16) / 8 + 1) + "> - <" + std::to_string(index) + ">");
        }
    }
}

} // namespace
