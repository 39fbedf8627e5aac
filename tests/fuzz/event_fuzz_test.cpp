// Feeds the window's core long random sequences of events, with indices and values far outside
// what the controls can produce, and checks the invariants that must hold whatever the user does.
#include "app/kelvora.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>

namespace {

struct Wire
{
    int status, data1, data2;
};

Wire decode(std::uint32_t m)
{
    return { static_cast<int>(m & 0xFF), static_cast<int>((m >> 8) & 0xFF),
        static_cast<int>((m >> 16) & 0xFF) };
}

class EventFuzzer
{
public:
    explicit EventFuzzer(unsigned seed)
        : m_random(seed)
    {
        m_controls.onVolChange = [this] { m_window.volChanged(); };
        m_window.load();
    }

    void runEvents(int count)
    {
        for (int i = 0; i < count; ++i)
            step();
    }

    // Lets go of every button still down, as the window system does when the user does.
    void releaseEverything()
    {
        for (std::int16_t key = 0; key < 60; ++key)
            while (m_window.keyboard().buttonsHeld(key) > 0)
                m_window.keyUp(key);
    }

    RecordingControls m_controls;
    RecordingMidi m_midi;
    RecordingWindowManager m_windowManager;
    Kelvora m_window { m_controls, m_midi, m_windowManager };

private:
    std::int16_t anyIndex(int lo, int hi)
    {
        // Mostly plausible values, sometimes the extremes of a 16-bit index.
        if (std::uniform_int_distribution(0, 9)(m_random) == 0)
            return std::uniform_int_distribution<std::int16_t>(-32768, 32767)(m_random);
        return static_cast<std::int16_t>(std::uniform_int_distribution(lo, hi)(m_random));
    }

    void step()
    {
        switch (std::uniform_int_distribution(0, 5)(m_random)) {
        case 0:
        case 1:
            m_window.keyDown(anyIndex(-3, 62));
            break;
        case 2:
            m_window.keyUp(anyIndex(-3, 62));
            break;
        case 3:
            m_window.menuChosen(anyIndex(-5, 170));
            break;
        case 4:
            m_window.labelClicked(
                static_cast<ClickLabel>(std::uniform_int_distribution(0, 2)(m_random)));
            break;
        case 5:
            m_controls.setVolValue(anyIndex(0, 127));
            break;
        }
        ASSERT_GE(m_window.state().Program, 0);
        ASSERT_LE(m_window.state().Program, 119);
    }

    std::mt19937 m_random;
};

class EventFuzz : public ::testing::TestWithParam<unsigned>
{ };

TEST_P(EventFuzz, everyNoteOnEndsAndNoKeyStaysGreen)
{
    EventFuzzer fuzzer(GetParam());
    const auto startColours = fuzzer.m_controls.keyColour;
    fuzzer.runEvents(20000);
    fuzzer.releaseEverything();
    fuzzer.m_window.unload();

    std::map<int, int> sounding;
    for (auto message : fuzzer.m_midi.sent) {
        const Wire w = decode(message);
        ASSERT_EQ(w.status & 0x0F, 8) << "channel";
        const int kind = w.status & 0xF0;
        ASSERT_TRUE(kind == 0xC0 || kind == 0x90 || kind == 0x80) << "message kind " << kind;
        if (kind == 0xC0) {
            EXPECT_LE(w.data1, 119);
            continue;
        }
        ASSERT_GE(w.data1, 36);
        ASSERT_LE(w.data1, 95);
        if (kind == 0x90)
            ++sounding[w.data1];
        else if (sounding[w.data1] > 0)
            --sounding[w.data1];
    }
    for (auto [note, count] : sounding)
        EXPECT_EQ(count, 0) << "note " << note << " left sounding";
    EXPECT_EQ(fuzzer.m_controls.keyColour, startColours);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EventFuzz, ::testing::Values(1u, 2u, 3u, 20261206u));

} // namespace
