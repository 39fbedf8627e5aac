#include "midi/midi_result.h"
#include "midi/system_midi_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// What happened to the services and devices, in order: "list alsa", "open NAME", "send NAME 200".
using Journal = std::vector<std::string>;

struct JournalDevice : OutputDevice
{
    JournalDevice(std::string deviceName, std::int32_t openResult, Journal& to)
        : name(std::move(deviceName))
        , result(openResult)
        , journal(to)
    { }
    std::int32_t open() override { return journal.push_back("open " + name), result; }
    void send(std::uint32_t message) override
    {
        journal.push_back("send " + name + " " + std::to_string(message));
    }
    void close() override { journal.push_back("close " + name); }
    std::string name;
    std::int32_t result;
    Journal& journal;
};

// ALSA with one port, or none; JACK never asked while ALSA has one.
struct FakeDirectory : PortDirectory
{
    FakeDirectory(std::vector<std::string> alsaPorts, Journal& to)
        : ports(std::move(alsaPorts))
        , journal(to)
    { }
    std::vector<MidiServiceApi> apis() const override
    {
        return { MidiServiceApi::Alsa, MidiServiceApi::Jack };
    }
    std::optional<std::vector<std::string>> outputPorts(MidiServiceApi api) override
    {
        journal.push_back(api == MidiServiceApi::Alsa ? "list alsa" : "list jack");
        return api == MidiServiceApi::Alsa ? ports : std::vector<std::string> {};
    }
    std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& port) override
    {
        return std::make_unique<JournalDevice>(port.name, MidiResult::NoError, journal);
    }
    std::vector<std::string> ports;
    Journal& journal;
};

// Device 0 gets every message and is closed once; a reopen closes the device held before; a
// device past the end, or one whose open fails, passes its code on and leaves nothing open.
TEST(SystemMidiService, device0GetsEveryMessageAndAFailedOpenLeavesNothingOpen)
{
    const struct
    {
        std::vector<std::string> ports;
        std::int32_t firstDevice, synthResult, code;
        Journal journal;
    } cases[] = {
        { { "Synth:in 128:0" }, 0, 0, MidiResult::NoError,
            { "list alsa", "open Synth:in 128:0", "send Synth:in 128:0 200", "close Synth:in 128:0",
                "list alsa", "open synth", "send synth 200", "close synth" } },
        { {}, 1, 0, MidiResult::BadDeviceId,
            { "list alsa", "list jack", "list alsa", "list jack", "open synth", "send synth 200",
                "close synth" } },
        { {}, -1, 0, MidiResult::BadDeviceId,
            { "list alsa", "list jack", "list alsa", "list jack", "open synth", "send synth 200",
                "close synth" } },
        { { "Synth:in 128:0" }, 1, MidiResult::NotReady, MidiResult::NotReady,
            { "list alsa", "open synth", "list alsa", "open synth" } },
    };
    for (const auto& c : cases) {
        Journal journal;
        {
            SystemMidiService s(std::make_unique<FakeDirectory>(c.ports, journal),
                [&] { return std::make_unique<JournalDevice>("synth", c.synthResult, journal); });
            EXPECT_EQ(s.open(c.firstDevice), c.code);
            s.send(0xC8);
            (void)s.open(c.ports.size());
            s.send(0xC8);
            s.close();
            s.close();
        }
        EXPECT_EQ(journal, c.journal) << c.firstDevice;
    }
}

} // namespace
