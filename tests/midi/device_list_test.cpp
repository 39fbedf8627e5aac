#include "midi/device_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using Kind = DeviceEntry::Kind;

const std::string Through = "Midi Through:Midi Through Port-0 14:0";
const std::string Fluid = "FLUID Synth (812):Synth input port (812:0) 128:0";
const std::string Hardware = "USB MIDI Interface:USB MIDI Interface MIDI 1 20:0";

std::vector<DeviceEntry> devices(std::optional<Names> alsa, std::optional<Names> jack)
{
    return DeviceList::outputDevices(
        { { MidiServiceApi::Alsa, std::move(alsa) }, { MidiServiceApi::Jack, std::move(jack) } },
        DeviceList::ClientName);
}

DeviceEntry port(MidiServiceApi api, unsigned index, std::string name)
{
    return { Kind::ServicePort, api, index, std::move(name) };
}

const DeviceEntry Synth { Kind::BuiltInSynth, MidiServiceApi::Alsa, 0, {} };

} // namespace

TEST(DeviceList, theLoopbackPortIsLeftOutSoTheFirstRealPortIsDevice0)
{
    const auto list = devices(Names { Through, Fluid }, std::nullopt);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], port(MidiServiceApi::Alsa, 1, Fluid));
    EXPECT_EQ(list[1], Synth);
}

TEST(DeviceList, withoutAnyPortTheBuiltInSynthIsDevice0)
{
    EXPECT_EQ(devices(std::nullopt, std::nullopt), std::vector { Synth });
    EXPECT_EQ(devices(Names {}, Names {}), std::vector { Synth });
    EXPECT_EQ(devices(Names { Through }, std::nullopt), std::vector { Synth });
}

TEST(DeviceList, withoutAlsaTheJackInputPortsAreTheDevices)
{
    const Names jack { "fluidsynth:midi_00", "jack_midi_dump:input" };
    const std::vector<DeviceEntry> expected { port(MidiServiceApi::Jack, 0, jack[0]),
        port(MidiServiceApi::Jack, 1, jack[1]), Synth };
    EXPECT_EQ(devices(std::nullopt, jack), expected) << "no ALSA sequencer";
    EXPECT_EQ(devices(Names {}, jack), expected) << "sequencer without ports";
    EXPECT_EQ(devices(Names { Through }, jack), expected) << "sequencer with a loopback alone";
}

TEST(DeviceList, jackIsNotUsedWhileAlsaHasAPort)
{
    const auto list = devices(Names { Hardware }, Names { "fluidsynth:midi_00" });
    EXPECT_EQ(list, (std::vector { port(MidiServiceApi::Alsa, 0, Hardware), Synth }));
}

TEST(DeviceList, ourOwnPortsAreNeverCandidates)
{
    const Names jack { "Nolvex MIDI keyboard:in", "Nolvex MIDI keyboard-01:midi_in",
        "a2j:Midi Through [14] (playback): Midi Through Port-0", "Nolvex MIDI keyboards:in",
        "jack_midi_dump:input" };
    const auto list = devices(std::nullopt, jack);
    const std::vector<DeviceEntry> expected { port(MidiServiceApi::Jack, 3, jack[3]),
        port(MidiServiceApi::Jack, 4, jack[4]), Synth };
    EXPECT_EQ(list, expected);
}

TEST(DeviceList, device2CountsOnlyTheCandidates)
{
    const std::string second = "Second:port 129:0";
    const std::string third = "Third:port 130:0";
    const auto list = devices(
        Names { Through, Fluid, "Nolvex MIDI keyboard:out 131:0", second, third }, std::nullopt);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2], port(MidiServiceApi::Alsa, 4, third));
    EXPECT_EQ(list[3], Synth);
}
