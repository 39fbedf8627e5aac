#include "instruments/instruments.h"

#include "tests/fakes/recording_controls.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>

namespace {

// Menus whose captions name their own index, to see which entries the label is read from.
class IndexedMenus : public RecordingControls
{
public:
    std::string menuCaption(std::int16_t i) const override { return "<" + std::to_string(i) + ">"; }
};

// A window state as start-up leaves it.
WindowState startState()
{
    WindowState s;
    s.Channel = 8;
    s.Base_Note = 36;
    s.Volume = 127;
    return s;
}

std::string label(const RecordingControls& c)
{
    return c.caption(CaptionLabel::Lbl_Instrument_Name);
}

TEST(Instruments, labelJoinsFamilyAndEntryCaptions)
{
    const struct
    {
        std::int16_t index;
        std::int16_t program;
        const char* label;
    } cases[] = {
        { 16, 0, "PIANO - 000. Acoustic Grand Piano" },
        { 23, 7, "PIANO - 007. Clavi" },
        { 24, 8, "CHROMATIC PERCUSSION - 008. Celesta" },
        { 39, 23, "ORGAN - 023 - Tango Accordion" },
        { 87, 71, "REED - 071 - Clarinet " },
        { 135, 119, "PERCUSSIVE - 119 - Reverse Cymbal" },
        { 31, 15, "CHROMATIC PERCUSSION - 015. Dulcimer" },
        { 32, 16, "ORGAN - 016. Drawbar Organ" },
        { 103, 87, "SYNTH LEAD - 087 - Lead 8 (bass + lead)" },
        { 104, 88, "SYNTH-PAD - 088 - New Age" },
        { 64, 48, "ENSEMBLE - 048 - String Ensemble" },
        { 65, 49, "ENSEMBLE - 049 - String Ensemble" },
    };
    for (const auto& c : cases) {
        WindowState state = startState();
        RecordingControls controls;
        Instruments(state, controls, c.index);
        EXPECT_EQ(state.Program, c.program) << c.index;
        EXPECT_EQ(label(controls), c.label) << c.index;
    }
}

TEST(Instruments, everyEntrySetsItsProgramAndOnlyWritesTheLabel)
{
    std::set<std::string> families;
    std::string previousFamily;
    for (std::int16_t index = 16; index <= 135; ++index) {
        WindowState state = startState();
        RecordingControls controls;
        Instruments(state, controls, index);
        const int program = index - 16;
        WindowState expected = startState();
        expected.Program = static_cast<std::int16_t>(program);
        EXPECT_EQ(state, expected);
        ASSERT_EQ(controls.log.size(), 1u) << "nothing but the label is written";

        // "FAMILY - NNN. Name" up to 022, "FAMILY - NNN - Name" from 023 on.
        const std::string text = label(controls);
        char number[8];
        std::snprintf(number, sizeof number, "%03d", program);
        const std::string entryStart = std::string(number) + (program < 23 ? ". " : " - ");
        const auto at = text.find(" - " + entryStart);
        ASSERT_NE(at, std::string::npos) << text;
        const std::string family = text.substr(0, at);
        for (const char ch : family)
            EXPECT_FALSE(std::islower(static_cast<unsigned char>(ch))) << text;
        if (program % 8 == 0)
            EXPECT_NE(family, previousFamily) << "a new family starts at " << program;
        else
            EXPECT_EQ(family, previousFamily) << program;
        previousFamily = family;
        families.insert(family);

        const bool trailingSpace = text.back() == ' ';
        EXPECT_EQ(trailingSpace, program == 71 || program == 79 || program == 103 || program == 111)
            << text;
        const bool doubleSpace = text.find(entryStart + " ") != std::string::npos;
        EXPECT_EQ(doubleSpace, program == 74 || program == 76) << text;
    }
    EXPECT_EQ(families.size(), 15u);
}

TEST(Instruments, labelIsReadBackFromTheFamilyAndEntryMenus)
{
    const struct
    {
        std::int16_t index;
        const char* label;
    } cases[] = { { 16, "<1> - <16>" }, { 47, "<4> - <47>" }, { 48, "<5> - <48>" },
        { 135, "<15> - <135>" } };
    for (const auto& c : cases) {
        WindowState state = startState();
        IndexedMenus controls;
        Instruments(state, controls, c.index);
        EXPECT_EQ(label(controls), c.label);
    }
}

TEST(Instruments, indexOutsideTheInstrumentEntriesIsIgnored)
{
    for (const std::int16_t index : { -32768, -1, 0, 1, 15, 136, 152, 164, 32767 }) {
        WindowState state = startState();
        state.Program = 42;
        const WindowState before = state;
        RecordingControls controls;
        Instruments(state, controls, index);
        EXPECT_EQ(state, before) << index;
        EXPECT_TRUE(controls.log.empty()) << index;
        EXPECT_EQ(label(controls), "PIANO - 000 - Acoustic Grand Piano");
    }
}

} // namespace
