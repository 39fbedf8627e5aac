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
    midi.calls.clear();
    window.keyUp(10); // the window system's own release, had it come after all
    window.keyUp(29);
    window.unload();
    EXPECT_EQ(midi.calls, std::vector<std::string> { "close" });
    EXPECT_EQ(controls.keyColour[10], Colour::MenuText);
}

} // namespace
