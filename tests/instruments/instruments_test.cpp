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

std::string label(const RecordingControls& c)
{
    return c.caption(CaptionLabel::Lbl_Instrument_Name);
}

TEST(Instruments, labelJoinsFamilyAndEntryCaptions)
{
    const struct
    {
        std::int16_t index;
        const char* label;
    } cases[] = {
        { 16, "PIANO - 000. Acoustic Grand Piano" },
        { 23, "PIANO - 007. Clavi" },
        { 24, "CHROMATIC PERCUSSION - 008. Celesta" },
        { 39, "ORGAN - 023 - Tango Accordion" },
        { 87, "REED - 071 - Clarinet " },
        { 135, "PERCUSSIVE - 119 - Reverse Cymbal" },
    };
    for (const auto& c : cases) {
        WindowState state;
        RecordingControls controls;
        Instruments(state, controls, c.index);
        EXPECT_EQ(label(controls), c.label);
    }
}

// Family k (1-15) holds programs 8(k-1) to 8(k-1)+7; entry index = program + 16.
TEST(Instruments, everyEntrySetsItsProgramAndReadsItsFamilyAndItself)
{
    for (std::int16_t index = 16; index <= 135; ++index) {
        WindowState state;
        IndexedMenus controls;
        Instruments(state, controls, index);
        const int program = index - 16;
        WindowState expected;
        expected.Program = static_cast<std::int16_t>(program);
        EXPECT_EQ(state, expected);
        EXPECT_EQ(controls.log.size(), 1u) << "nothing but the label is written";
        EXPECT_EQ(label(controls),
            "<" + std::to_string(program / 8 + 1) + "> - <" + std::to_string(index) + ">");
    }
}

TEST(Instruments, indexOutsideTheInstrumentEntriesIsIgnored)
{
    for (const std::int16_t index : { -32768, -1, 0, 1, 15, 136, 152, 164, 32767 }) {
        WindowState state;
        state.Program = 42;
        RecordingControls controls;
        Instruments(state, controls, index);
        EXPECT_EQ(state.Program, 42) << index;
        EXPECT_TRUE(controls.log.empty()) << index;
    }
}

} // namespace
