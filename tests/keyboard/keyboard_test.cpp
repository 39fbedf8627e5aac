#include "app/kelvora.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

using Bytes = std::array<int, 4>;

Bytes bytesOf(std::uint32_t message)
{
    return { static_cast<int>(message & 0xFF), static_cast<int>((message >> 8) & 0xFF),
        static_cast<int>((message >> 16) & 0xFF), static_cast<int>(message >> 24) };
}

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
    }

    std::vector<Bytes> wire() const
    {
        std::vector<Bytes> out;
        for (auto m : midi.sent)
            out.push_back(bytesOf(m));
        return out;
    }

    RecordingControls controls;
    RecordingMidi midi;
    RecordingWindowManager windowManager;
    Kelvora window { controls, midi, windowManager };
};

TEST_F(KeyboardTest, pressSendsProgramChangeThenNoteOnAndReleaseSendsNoteOff)
{
    window.keyDown(0);
    EXPECT_EQ(controls.keyColour[0], 65280u);
    window.keyUp(0);

    const std::vector<Bytes> expected { { 0xC8, 0x00, 0, 0 }, { 0x98, 0x24, 0x7F, 0 },
        { 0x88, 0x24, 0x00, 0 } };
    EXPECT_EQ(wire(), expected);
    EXPECT_EQ(controls.keyColour[0], Colour::White);
    EXPECT_EQ(controls.keyUnsets[0], 1);
}

TEST_F(KeyboardTest, keysPlayTheirNotesFromC2Upwards)
{
    const std::array<std::pair<int, int>, 4> keyToNote { { { 0, 36 }, { 24, 60 }, { 25, 61 },
        { 59, 95 } } };
    for (auto [key, note] : keyToNote) {
        midi.sent.clear();
        window.keyDown(static_cast<std::int16_t>(key));
        window.keyUp(static_cast<std::int16_t>(key));
        ASSERT_EQ(midi.sent.size(), 3u);
        EXPECT_EQ(bytesOf(midi.sent[1])[1], note) << "note on of key " << key;
        EXPECT_EQ(bytesOf(midi.sent[2])[1], note) << "note off of key " << key;
    }
}

TEST_F(KeyboardTest, blackKeyGetsItsSystemColourReferenceBack)
{
    window.keyDown(1);
    EXPECT_EQ(window.state().Saved_Color, 0x80000007u);
    EXPECT_EQ(controls.keyColour[1], Colour::Green);
    window.keyUp(1);
    EXPECT_EQ(controls.keyColour[1], 0x80000007u);
}

TEST_F(KeyboardTest, velocityComesFromTheBarAndZeroStillSendsANoteOn)
{
    controls.setVolValue(64);
    window.keyDown(12);
    controls.setVolValue(0);
    window.keyDown(13);
    ASSERT_EQ(midi.sent.size(), 4u);
    EXPECT_EQ(bytesOf(midi.sent[1]), (Bytes { 0x98, 48, 64, 0 }));
    EXPECT_EQ(bytesOf(midi.sent[3]), (Bytes { 0x98, 49, 0, 0 }));
    EXPECT_EQ(controls.keyColour[13], Colour::Green);
}

TEST_F(KeyboardTest, newProgramReachesTheWireOnlyWithTheNextPress)
{
    window.menuChosen(87); // "071 - Clarinet "
    EXPECT_TRUE(midi.sent.empty());
    window.keyDown(24);
    ASSERT_FALSE(midi.sent.empty());
    EXPECT_EQ(bytesOf(midi.sent[0]), (Bytes { 0xC8, 71, 0, 0 }));
}

TEST_F(KeyboardTest, secondButtonOnAHeldKeyStillLeavesTheKeyItsOwnColour)
{
    window.keyDown(5);
    window.keyDown(5);
    window.keyUp(5);
    window.keyUp(5);
    EXPECT_EQ(controls.keyColour[5], Colour::White);
    // Every press and release still sends its messages.
    const std::vector<Bytes> expected { { 0xC8, 0, 0, 0 }, { 0x98, 41, 127, 0 }, { 0xC8, 0, 0, 0 },
        { 0x98, 41, 127, 0 }, { 0x88, 41, 0, 0 }, { 0x88, 41, 0, 0 } };
    EXPECT_EQ(wire(), expected);
}

TEST_F(KeyboardTest, overlappingPressesOfTwoKeysRestoreEachKeysOwnColour)
{
    window.keyDown(0); // white
    window.keyDown(1); // black, pressed with another button while key 0 is held
    window.keyUp(0);
    window.keyUp(1);
    EXPECT_EQ(controls.keyColour[0], Colour::White);
    EXPECT_EQ(controls.keyColour[1], Colour::MenuText);
}

TEST_F(KeyboardTest, closingWhileKeysAreHeldSendsTheirNoteOffsBeforeThePortCloses)
{
    window.keyDown(10);
    window.keyDown(30);
    window.keyUp(30);
    midi.sent.clear();
    midi.calls.clear();

    window.unload();

    EXPECT_EQ(wire(), (std::vector<Bytes> { { 0x88, 46, 0, 0 } }));
    EXPECT_EQ(midi.calls, (std::vector<std::string> { "send", "close" }));
}

TEST_F(KeyboardTest, closingWithNoKeyHeldSendsNothing)
{
    window.keyDown(3);
    window.keyUp(3);
    midi.sent.clear();
    window.unload();
    EXPECT_TRUE(midi.sent.empty());
}

TEST(KeyboardWithoutDevice, keysStillColourAndNothingIsSent)
{
    RecordingControls controls;
    RecordingMidi midi;
    midi.openResult = 2;
    RecordingWindowManager windowManager;
    Kelvora window { controls, midi, windowManager };
    window.load();

    window.keyDown(7);
    EXPECT_EQ(controls.keyColour[7], Colour::Green);
    window.keyUp(7);
    EXPECT_EQ(controls.keyColour[7], Colour::White);
    EXPECT_TRUE(midi.sent.empty());
    window.unload();
    EXPECT_EQ(std::count(midi.calls.begin(), midi.calls.end(), "close"), 0);
}

TEST(KeyboardIndices, keysOutsideTheKeyboardAreIgnored)
{
    RecordingControls controls;
    RecordingMidi midi;
    RecordingWindowManager windowManager;
    Kelvora window { controls, midi, windowManager };
    window.load();
    midi.sent.clear();
    for (std::int16_t key : { -1, 60, 32767, -32768 }) {
        window.keyDown(key);
        window.keyUp(key);
    }
    EXPECT_TRUE(midi.sent.empty());
}

} // namespace
