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

// Device 0 gets every message and is closed once; a reopen closes the device held before.
TEST(SystemMidiService, device0GetsEveryMessageAndIsClosedOnceAndAReopenClosesItFirst)
{
    Journal journal;
    {
        SystemMidiService s = service(journal, { "Synth:in 128:0" });
        ASSERT_EQ(s.open(0), MidiResult::NoError);
        s.send(0xC8);
        ASSERT_EQ(s.open(1), MidiResult::NoError);
        s.close();
        s.close();
    }
    EXPECT_EQ(journal,
        (Journal { "list alsa", "open Synth:in 128:0", "send Synth:in 128:0 200",
            "close Synth:in 128:0", "list alsa", "open synth", "close synth" }));
}

// A device past the end, or one whose open fails, passes its code on and leaves nothing open.
TEST(SystemMidiService, aFailedOpenPassesItsCodeOnAndLeavesNothingOpen)
{
    const struct
    {
        std::int32_t deviceId, synthOpenResult, code;
    } cases[] = {
        { 2, 0, MidiResult::BadDeviceId },
        { -1, 0, MidiResult::BadDeviceId },
        { 1, MidiResult::NotReady, MidiResult::NotReady },
    };
    for (const auto& c : cases) {
        Journal journal;
        {
            SystemMidiService s = service(journal, {}, c.synthOpenResult);
            EXPECT_EQ(s.open(c.deviceId), c.code);
            s.send(0xC8);
            s.close();
        }
        for (const std::string& entry : journal)
            EXPECT_FALSE(entry.starts_with("send") || entry.starts_with("close")) << entry;
    }
}

} // namespace
