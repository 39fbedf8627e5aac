#include "app/kelvora.h"
#include "midi/midi_result.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The MIDI service and the window manager write into the controls' log, so that one log holds
// the whole start-up in order. The service notes the keyboard values it finds when it opens.
class LoggingMidi : public RecordingMidi
{
public:
    explicit LoggingMidi(std::vector<std::string>& log)
        : m_log(log)
    { }
    std::int32_t open(std::int32_t deviceId) override
    {
        m_log.push_back("open " + std::to_string(deviceId) + " with channel "
            + std::to_string(kelvora->state().Channel));
        return RecordingMidi::open(deviceId);
    }
    const Kelvora* kelvora = nullptr;

private:
    std::vector<std::string>& m_log;
};

class LoggingWindowManager : public RecordingWindowManager
{
public:
    explicit LoggingWindowManager(std::vector<std::string>& log)
        : m_log(log)
    { }
    std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx,
        int cy, std::uint32_t flags) override
    {
        m_log.push_back("SetWindowPos");
        return RecordingWindowManager::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
    }

private:
    std::vector<std::string>& m_log;
};

class KelvoraTest : public ::testing::Test
{
protected:
    KelvoraTest()
    {
        midi.kelvora = &kelvora;
        controls.onVolChange = [this] { kelvora.volChanged(); };
    }

    // Position in the log of the first or last entry equal to `entry`; fails the test if absent.
    std::ptrdiff_t first(const std::string& entry) const
    {
        const auto it = std::find(controls.log.begin(), controls.log.end(), entry);
        EXPECT_NE(it, controls.log.end()) << entry;
        return it - controls.log.begin();
    }
    std::ptrdiff_t last(const std::string& entry) const
    {
        const auto it = std::find(controls.log.rbegin(), controls.log.rend(), entry);
        EXPECT_NE(it, controls.log.rend()) << entry;
        return controls.log.rend() - it - 1;
    }

    RecordingControls controls;
    LoggingMidi midi { controls.log };
    LoggingWindowManager windowManager { controls.log };
    Kelvora kelvora { controls, midi, windowManager };
};

} // namespace

TEST_F(KelvoraTest, startUpRunsItsStepsInOrder)
{
    kelvora.load();
    const auto& log = controls.log;

    const auto show = first("show");
    for (int k = 0; k < 60; ++k)
        EXPECT_LT(first("hide marker " + std::to_string(k)), show) << k;
    EXPECT_LT(show, first("SetWindowPos"));
    EXPECT_LT(first("SetWindowPos"), first("open 0 with channel 0"));
    EXPECT_LT(first("open 0 with channel 0"), first("show marker 24"));
    EXPECT_LT(first("show marker 35"), first("caption (Do) "));
    EXPECT_LT(first("caption (Do) "), first("vol min 127"));
    EXPECT_LT(first("vol min 127"), first("vol max 0"));
    EXPECT_LT(first("vol max 0"), last("vol value 127"));
    EXPECT_EQ(log.back(), "vol value 127");

    const std::vector<RecordingWindowManager::Call> topmost { { 0x4200001, -1, 0, 0, 0, 0, 3 } };
    EXPECT_EQ(windowManager.calls, topmost);
    EXPECT_TRUE(controls.messages.empty());
}

TEST_F(KelvoraTest, startUpLeavesTheKeyboardReadyToPlay)
{
    kelvora.load();
    WindowState expected;
    expected.Channel = 8;
    expected.Base_Note = 36;
    expected.Volume = 127;
    EXPECT_EQ(kelvora.state(), expected);
    EXPECT_EQ(controls.visibleMarkers(), (std::vector { 24, 26, 28, 29, 31, 33, 35 }));
    EXPECT_EQ(controls.caption(CaptionLabel::Lbl_note), "(Do) ");
    EXPECT_EQ(std::make_tuple(controls.volMin, controls.volMax, controls.vol),
        std::make_tuple(std::int16_t { 127 }, std::int16_t { 0 }, std::int16_t { 127 }));
}

TEST_F(KelvoraTest, aFailedOpenIsReportedOnceWithItsSignedCode)
{
    const std::vector<std::pair<std::int32_t, std::string>> cases {
        { MidiResult::BadDeviceId, "Couldn't open midi out, rc = 2" },
        { MidiResult::NotReady, "Couldn't open midi out, rc = 67" },
        { -3, "Couldn't open midi out, rc = -3" },
    };
    for (const auto& [rc, text] : cases) {
        RecordingControls screen;
        RecordingMidi service;
        RecordingWindowManager manager;
        service.openResult = rc;
        Kelvora window(screen, service, manager);
        window.load();
        EXPECT_EQ(screen.messages, std::vector { text });
        const auto box = std::find(screen.log.begin(), screen.log.end(), "message " + text);
        const auto firstMarker = std::find(screen.log.begin(), screen.log.end(), "show marker 24");
        EXPECT_LT(box, firstMarker) << "the box comes before the scale display starts";
        EXPECT_EQ(window.state().Volume, 127) << "start-up goes on after the box";
    }
}

TEST_F(KelvoraTest, aFailedPortSendsNothingAndIsNotClosed)
{
    midi.openResult = MidiResult::NoDriver;
    kelvora.load();
    kelvora.keyDown(0);
    kelvora.keyUp(0);
    kelvora.unload();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(midi.calls, std::vector<std::string> { "open 0" });
    EXPECT_EQ(controls.messages.size(), 1u);
}

TEST_F(KelvoraTest, shutDownClosesThePortOnce)
{
    kelvora.load();
    kelvora.keyDown(0);
    kelvora.keyUp(0);
    kelvora.unload();
    const std::vector<std::string> expected { "open 0", "send", "send", "send", "close" };
    EXPECT_EQ(midi.calls, expected);
    EXPECT_FALSE(midi.isOpen);
}
