#include "midi/midi_result.h"
#include "midi/system_midi_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// What happened to the services and devices, in order: "list alsa", "open NAME", "send NAME 200".
using Journal = std::vector<std::string>;

class JournalDevice : public OutputDevice
{
public:
    JournalDevice(std::string name, std::int32_t openResult, Journal& journal)
        : m_name(std::move(name))
        , m_openResult(openResult)
        , m_journal(journal)
    { }
    std::int32_t open() override
    {
        m_journal.push_back("open " + m_name);
        return m_openResult;
    }
    void send(std::uint32_t message) override
    {
        m_journal.push_back("send " + m_name + " " + std::to_string(message));
    }
    void close() override { m_journal.push_back("close " + m_name); }

private:
    std::string m_name;
    std::int32_t m_openResult;
    Journal& m_journal;
};

// ALSA with the given ports; JACK with one port, listed only when asked.
class FakeDirectory : public PortDirectory
{
public:
    FakeDirectory(std::vector<std::string> alsaPorts, Journal& journal)
        : m_alsaPorts(std::move(alsaPorts))
        , m_journal(journal)
    { }
    std::vector<MidiServiceApi> apis() const override
    {
        return { MidiServiceApi::Alsa, MidiServiceApi::Jack };
    }
    std::optional<std::vector<std::string>> outputPorts(MidiServiceApi api) override
    {
        const bool alsa = api == MidiServiceApi::Alsa;
        m_journal.push_back(alsa ? "list alsa" : "list jack");
        return alsa ? m_alsaPorts : std::vector<std::string> { "jack:in" };
    }
    std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& port) override
    {
        return std::make_unique<JournalDevice>(port.name, MidiResult::NoError, m_journal);
    }

private:
    std::vector<std::string> m_alsaPorts;
    Journal& m_journal;
};

SystemMidiService service(
    Journal& journal, std::vector<std::string> alsaPorts, std::int32_t synthOpenResult = 0)
{
    return SystemMidiService(std::make_unique<FakeDirectory>(std::move(alsaPorts), journal),
        [&journal, synthOpenResult] {
            return std::make_unique<JournalDevice>("synth", synthOpenResult, journal);
        });
}

TEST(SystemMidiService, device0GetsEveryMessageAndIsClosedOnce)
{
    Journal journal;
    {
        SystemMidiService s = service(journal, { "Synth:in 128:0" });
        ASSERT_EQ(s.open(0), MidiResult::NoError);
        s.send(0xC8);
        s.close();
        s.close();
    }
    EXPECT_EQ(journal,
        (Journal { "list alsa", "open Synth:in 128:0", "send Synth:in 128:0 200",
            "close Synth:in 128:0" }));
}

TEST(SystemMidiService, aDevicePastTheEndIsNoSuchDeviceAndGetsNothing)
{
    Journal journal;
    SystemMidiService s = service(journal, { "a:in", "b:in" });
    EXPECT_EQ(s.open(3), MidiResult::BadDeviceId);
    EXPECT_EQ(s.open(-1), MidiResult::BadDeviceId);
    s.send(0xC8);
    EXPECT_EQ(journal, (Journal { "list alsa", "list alsa" }));
    EXPECT_EQ(s.open(2), MidiResult::NoError);
    EXPECT_EQ(journal.back(), "open synth");
}

TEST(SystemMidiService, aFailedOpenPassesTheDevicesCodeOnAndLeavesNothingOpen)
{
    for (const std::int32_t code : { MidiResult::NotReady, MidiResult::InvalidSetup }) {
        Journal journal;
        {
            SystemMidiService s = service(journal, {}, code);
            EXPECT_EQ(s.open(1), code);
            s.send(0xC8);
            s.close();
        }
        EXPECT_EQ(journal, (Journal { "list alsa", "list jack", "open synth" })) << code;
    }
}

TEST(SystemMidiService, reopeningClosesTheDeviceHeldBefore)
{
    Journal journal;
    SystemMidiService s = service(journal, { "Synth:in 128:0" });
    ASSERT_EQ(s.open(0), MidiResult::NoError);
    ASSERT_EQ(s.open(1), MidiResult::NoError);
    EXPECT_EQ(journal,
        (Journal { "list alsa", "open Synth:in 128:0", "close Synth:in 128:0", "list alsa",
            "open synth" }));
}

} // namespace
