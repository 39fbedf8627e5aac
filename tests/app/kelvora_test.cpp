#include "app/display_choice.h"
#include "app/kelvora.h"
#include "midi/midi_result.h"
#include "tests/fakes/recording_controls.h"
#include "tests/fakes/recording_midi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

// The window's core with the screen, the MIDI service and the window manager writing one log.
struct Window
{
    explicit Window(std::int32_t openResult)
    {
        midi.openResult = openResult;
        midi.log = &controls.log;
        windowManager.log = &controls.log;
        controls.onVolChange = [this] { kelvora.changed("vol"); };
        kelvora.load();
    }
    RecordingControls controls;
    RecordingMidi midi;
    RecordingWindowManager windowManager;
    Kelvora kelvora { controls, midi, windowManager };
};

} // namespace

TEST(Kelvora, startUpRunsItsStepsInOrderWithTheBoxOnlyAfterAFailedOpen)
{
    std::vector<std::string> hideAll;
    for (int k = 0; k < 60; ++k)
        hideAll.push_back("hide marker " + std::to_string(k));
    const struct
    {
        std::int32_t openResult;
        std::vector<std::string> box;
    } cases[] = {
        { MidiResult::NoError, {} },
        { MidiResult::NotReady, { "message Couldn't open midi out, rc = 67" } },
        { -3, { "message Couldn't open midi out, rc = -3" } },
    };
    for (const auto& c : cases) {
        Window w(c.openResult);
        std::vector<std::string> expected = hideAll;
        expected.insert(expected.end(), { "show", "SetWindowPos 69206017 -1 0 0 0 0 3", "open 0" });
        expected.insert(expected.end(), c.box.begin(), c.box.end());
        expected.insert(expected.end(), hideAll.begin(), hideAll.end());
        for (const int k : { 24, 26, 28, 29, 31, 33, 35 })
            expected.push_back("show marker " + std::to_string(k));
        expected.insert(
            expected.end(), { "caption (Do) ", "vol min 127", "vol max 0", "vol value 127" });
        EXPECT_EQ(w.controls.log, expected) << c.openResult;
        EXPECT_EQ(w.kelvora.state().Volume, 127);
    }
}

TEST(Kelvora, keysOutsideTheKeyboardDoNothingAndAFailedPortLeavesTheKeysOnlyTheirColours)
{
    const std::vector<std::string> coloured { "colour 7 65280", "unset 7", "colour 7 16777215" };
    const std::vector<std::string> played { "send C8 00 00", "send 98 2B 7F", "colour 7 65280",
        "unset 7", "send 88 2B 00", "colour 7 16777215", "close" };
    for (const std::int32_t openResult : { MidiResult::NoError, MidiResult::NoDriver }) {
        Window w(openResult);
        w.controls.log.clear();
        for (const std::int16_t index : { -32768, -1, 60, 32767, 7 }) {
            w.kelvora.keyDown(index);
            w.kelvora.keyUp(index);
        }
        w.kelvora.unload();
        EXPECT_EQ(w.controls.log, openResult == MidiResult::NoError ? played : coloured);
    }
}

// What a click, a change or a choice runs is what the window definition binds to it, whichever
// control the window system forwards: the octave labels and the instrument label redraw the
// marking, the bar sets the velocity, an entry runs its array's handler; other labels, markers,
// keys, a family submenu or an index outside the menus run nothing. Seen: the last call on the
// controls, the first marker shown, the velocity and the program.
TEST(Kelvora, aClickAChangeOrAChoiceRunsWhatTheWindowDefinitionBindsToIt)
{
    using Event = std::function<void(Kelvora&)>;
    const auto click
        = [](const char* control) -> Event { return [=](Kelvora& k) { k.clicked(control); }; };
    const auto change
        = [](const char* control) -> Event { return [=](Kelvora& k) { k.changed(control); }; };
    const auto choose
        = [](std::int16_t index) -> Event { return [=](Kelvora& k) { k.chosen(index); }; };
    using Seen = std::tuple<std::string, int, int, int>;
    const Seen nothing { "", 24, 127, 0 };
    const std::pair<Event, Seen> cases[] = {
        { click("Lbl_OctaMoins"), { "caption (Do) ", 12, 127, 0 } },
        { click("Lbl_OctPlus"), { "caption (Do) ", 36, 127, 0 } },
        { click("Lbl_Instrument_Name"), { "caption (Do) ", 24, 127, 0 } },
        { change("vol"), { "", 24, 100, 0 } },
        { choose(87), { "caption REED - 071 - Clarinet ", 24, 127, 71 } },
        { choose(140), { "caption Accord Majeur", 24, 127, 0 } },
        { choose(155), { "caption (Ré) ", 26, 127, 0 } },
        { click("Lbl_note"), nothing },
        { click("Lbl_gamme"), nothing },
        { click("Lbl_repere_note"), nothing },
        { click("key"), nothing },
        { change("Lbl_OctPlus"), nothing },
        { choose(0), nothing },
        { choose(8), nothing },
        { choose(165), nothing },
    };
    for (const auto& [event, seen] : cases) {
        Window w(MidiResult::NoError);
        w.controls.log.clear();
        w.controls.vol = 100;
        event(w.kelvora);
        EXPECT_EQ(Seen(w.controls.log.empty() ? "" : w.controls.log.back(),
                      w.controls.visibleMarkers().front(), w.kelvora.state().Volume,
                      w.kelvora.state().Program),
            seen)
            << std::get<0>(seen);
    }
}

// X11 first, then Wayland, then one line that says why neither answers; displays whose name
// starts with "dead" do not answer.
TEST(DisplayChoice, firstDisplayThatAnswersOrOneLineSayingWhyNoneDoes)
{
    const auto probe = [](const char* name) {
        return std::string_view(name).starts_with("dead") ? std::string("no ") + name : "";
    };
    const std::tuple<const char*, const char*, const char*, std::string, std::string> cases[] = {
        { nullptr, ":0", "wayland-0", "xcb", "" },
        { nullptr, "dead:0", "wayland-0", "wayland", "" },
        { "wayland", "dead:0", "dead-0", "", "" },
        { nullptr, "dead:0", "dead-0", "", "nolvex-keyboard: no dead:0 No dead-0" },
    };
    for (const auto& [platform, display, wayland, chosen, error] : cases) {
        const DisplayChoice choice = chooseDisplay(platform, display, wayland, { probe, probe });
        EXPECT_EQ(choice.platform, chosen);
        EXPECT_EQ(choice.error, error);
    }
}
