#include "midi/device_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using Api = MidiServiceApi;

const std::string Through = "Midi Through:Midi Through Port-0 14:0";
const std::string Fluid = "FLUID Synth (812):Synth input port (812:0) 128:0";
const std::string Hardware = "USB MIDI Interface:USB MIDI Interface MIDI 1 20:0";
const Names Jack { "fluidsynth:midi_00", "jack_midi_dump:input" };
const Names JackWithOurs { "Nolvex MIDI keyboard:in", "Nolvex MIDI keyboard-01:midi_in",
    "a2j:Midi Through [14] (playback): Midi Through Port-0", "Nolvex MIDI keyboards:in",
    "jack_midi_dump:input" };

DeviceEntry port(Api api, std::string name)
{
    return { DeviceEntry::Kind::ServicePort, api, std::move(name) };
}
const DeviceEntry Synth { DeviceEntry::Kind::BuiltInSynth, Api::Alsa, {} };

// Device n is entry n: the candidate ports of ALSA, else of JACK, then the built-in synthesiser.
// ALSA's own Midi Through is left out on a real kernel in tests/guest.
TEST(DeviceList, candidatesInOrderThenTheBuiltInSynth)
{
    const struct
    {
        const char* what;
        std::optional<Names> alsa, jack;
        std::vector<DeviceEntry> devices;
    } cases[] = {
        { "no service at all", std::nullopt, std::nullopt, { Synth } },
        { "services without ports", Names {}, Names {}, { Synth } },
        { "no ALSA sequencer", std::nullopt, Jack,
            { port(Api::Jack, Jack[0]), port(Api::Jack, Jack[1]), Synth } },
        { "ALSA with a loopback alone", Names { Through }, Jack,
            { port(Api::Jack, Jack[0]), port(Api::Jack, Jack[1]), Synth } },
        { "JACK unused while ALSA has a port", Names { Hardware }, Jack,
            { port(Api::Alsa, Hardware), Synth } },
        { "our own ports left out", std::nullopt, JackWithOurs,
            { port(Api::Jack, JackWithOurs[3]), port(Api::Jack, JackWithOurs[4]), Synth } },
        { "our own ALSA port left out",
            Names { Through, Fluid, "Nolvex MIDI keyboard:out 131:0", Hardware }, std::nullopt,
            { port(Api::Alsa, Fluid), port(Api::Alsa, Hardware), Synth } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceList::outputDevices(
                      { { Api::Alsa, c.alsa }, { Api::Jack, c.jack } }, DeviceList::ClientName),
            c.devices)
            << c.what;
}

} // namespace
