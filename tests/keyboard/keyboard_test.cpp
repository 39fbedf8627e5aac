#include "app/kelvora.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Wire = std::vector<std::uint32_t>;

// The keyboard after start-up, with its wire and screen recorded.
class KeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controls.onVolChange = [this] { window.volChanged(); };
        window.load();
        midi.sent.clear();
        midi.calls.clear();
        controls.log.clear();
    }

    RecordingControls controls;
    RecordingMidi midi;
    RecordingWindowManager windowManager;
    Kelvora window { controls, midi, windowManager };
};

TEST_F(KeyboardTest, pressPlaysTheKeysNoteAfterAProgramChangeAndReleaseRestoresItsColour)
{
    const struct
    {
        std::int16_t key;
        std::uint32_t note;
        ColorValue colour;
    } cases[] = { { 0, 36, Colour::White }, { 1, 37, 0x80000007 }, { 24, 60, Colour::White },
        { 59, 95, Colour::White } };
    for (const auto& c : cases) {
        midi.sent.clear();
        window.keyDown(c.key);
        EXPECT_EQ(controls.keyColour[c.key], Colour::Green) << c.key;
        EXPECT_EQ(window.state().Saved_Color, c.colour) << c.key;
        window.keyUp(c.key);
        EXPECT_EQ(controls.keyColour[c.key], c.colour) << c.key;
        EXPECT_EQ(controls.keyUnsets[c.key], 1) << c.key;
        EXPECT_EQ(midi.sent, (Wire { programChange(0), noteOn(c.note, 127), noteOff(c.note) }));
    }
}

TEST_F(KeyboardTest, indicesOutsideTheKeysPlayNothingAndColourNothing)
{
    for (const std::int16_t index : { -32768, -1, 60, 32767 }) {
        window.keyDown(index);
        window.keyUp(index);
    }
    window.pointerLost();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(controls.log.empty());
}

TEST_F(KeyboardTest, velocityComesFromTheBarAndZeroStillSendsANoteOn)
{
    controls.setVolValue(64);
    window.keyDown(12);
    controls.setVolValue(0);
    window.keyDown(13);
    EXPECT_EQ(
        midi.sent, (Wire { programChange(0), noteOn(48, 64), programChange(0), noteOn(49, 0) }));
    EXPECT_EQ(controls.keyColour[13], Colour::Green);
}

TEST_F(KeyboardTest, newProgramReachesTheWireOnlyWithTheNextPress)
{
    window.menuChosen(87); // "071 - Clarinet "
    EXPECT_TRUE(midi.sent.empty());
    window.keyDown(24);
    EXPECT_EQ(midi.sent, (Wire { programChange(71), noteOn(60, 127) }));
}

TEST_F(KeyboardTest, secondButtonOnAHeldKeyStillLeavesTheKeyItsOwnColour)
{
    window.keyDown(5);
    window.keyDown(5);
    window.keyUp(5);
    window.keyUp(5);
    EXPECT_EQ(controls.keyColour[5], Colour::White);
    EXPECT_EQ(midi.sent,
        (Wire { programChange(0), noteOn(41, 127), programChange(0), noteOn(41, 127), noteOff(41),
            noteOff(41) }));
}

TEST_F(KeyboardTest, closingSendsTheNoteOffOfTheHeldKeyBeforeThePortClosesAndNothingElse)
{
    window.keyDown(10);
    window.keyDown(30);
    window.keyUp(30);
    midi.sent.clear();
    midi.calls.clear();
    window.unload();
    EXPECT_EQ(midi.sent, Wire { noteOff(46) });
    EXPECT_EQ(midi.calls, (std::vector<std::string> { "send", "close" }));
}

TEST_F(KeyboardTest, lostPointerReleasesEachHeldButtonOfOnlyTheHeldKeysAndLateReleasesSendNothing)
{
    window.keyDown(10);
    window.keyDown(10); // a second button on the same key
    window.keyDown(29);
    window.keyDown(31);
    window.keyUp(31);
    midi.sent.clear();
    controls.log.clear();
    window.pointerLost();
    EXPECT_EQ(midi.sent, (Wire { noteOff(46), noteOff(46), noteOff(65) }));
    EXPECT_EQ(controls.log,
        (std::vector<std::string> { "unset 10", "colour 10 2147483655", "unset 10",
            "colour 10 2147483655", "unset 29", "colour 29 16777215" }));

    midi.sent.clear();
    window.keyUp(10); // the window system's own release, had it come after all
    window.keyUp(29);
    window.unload();
    EXPECT_EQ(midi.sent, Wire {});
    EXPECT_EQ(controls.keyColour[10], Colour::MenuText);
}

} // namespace
