// Feeds the window's core long random sequences of events, with indices and values far outside
// what the controls can produce, and checks the invariants that must hold whatever the user does.
#include "app/kelvora.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

class EventFuzz : public ::testing::TestWithParam<unsigned>
{
protected:
    EventFuzz()
    {
        controls.onVolChange = [this] { window.volChanged(); };
    }

    // Mostly plausible values, sometimes the extremes of a 16-bit index.
    std::int16_t anyIndex(int lo, int hi)
    {
        if (std::uniform_int_distribution(0, 9)(rng) == 0)
            return std::uniform_int_distribution<std::int16_t>(-32768, 32767)(rng);
        return static_cast<std::int16_t>(std::uniform_int_distribution(lo, hi)(rng));
    }

    void randomEvent()
    {
        switch (std::uniform_int_distribution(0, 5)(rng)) {
        case 0:
        case 1:
            return window.keyDown(anyIndex(-3, 62));
        case 2:
            return window.keyUp(anyIndex(-3, 62));
        case 3:
            return window.menuChosen(anyIndex(-5, 170));
        case 4:
            return window.labelClicked(
                static_cast<ClickLabel>(std::uniform_int_distribution(0, 2)(rng)));
        default:
            return controls.setVolValue(anyIndex(0, 127));
        }
    }

    std::mt19937 rng { GetParam() };
    RecordingControls controls;
    RecordingMidi midi;
    RecordingWindowManager windowManager;
    Kelvora window { controls, midi, windowManager };
};

TEST_P(EventFuzz, everyNoteOnEndsAndNoKeyStaysGreen)
{
    window.load();
    const auto startColours = controls.keyColour;
    for (int i = 0; i < 20000; ++i) {
        randomEvent();
        ASSERT_GE(window.state().Program, 0);
        ASSERT_LE(window.state().Program, 119);
    }
    window.unload();

    std::map<int, int> sounding;
    for (const std::uint32_t m : midi.sent) {
        const int status = m & 0xFF, data1 = (m >> 8) & 0xFF, kind = status & 0xF0;
        ASSERT_EQ(status & 0x0F, 8) << "channel";
        ASSERT_TRUE(kind == 0xC0 || kind == 0x90 || kind == 0x80) << "message kind " << kind;
        if (kind == 0xC0) {
            EXPECT_LE(data1, 119);
            continue;
        }
        ASSERT_GE(data1, 36);
        ASSERT_LE(data1, 95);
        if (kind == 0x90)
            ++sounding[data1];
        else if (sounding[data1] > 0)
            --sounding[data1];
    }
    for (auto [note, count] : sounding)
        EXPECT_EQ(count, 0) << "note " << note << " left sounding";
    EXPECT_EQ(controls.keyColour, startColours);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EventFuzz, ::testing::Values(1u, 2u, 3u, 20261206u));

} // namespace
