#include "midi/midi_result.h"
#include "midi/system_midi_service.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// What happened to the devices, across all of them: "open NAME", "send NAME 0x..", "close NAME".
using Journal = std::vector<std::string>;

class JournalDevice : public OutputDevice
{
public:
    JournalDevice(std::string name, std::int32_t openResult, Journal& journal)
        : m_name(std::move(name))
        , m_openResult(openResult)
        , m_journal(journal)
    { }
    std::string name() const override { return m_name; }
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

class FakeDirectory : public PortDirectory
{
public:
    FakeDirectory(std::map<MidiServiceApi, std::vector<std::string>> ports, Journal& journal)
        : m_ports(std::move(ports))
        , m_journal(journal)
    { }
    std::vector<MidiServiceApi> apis() const override
    {
        return { MidiServiceApi::Alsa, MidiServiceApi::Jack };
    }
    std::optional<std::vector<std::string>> outputPorts(MidiServiceApi api) override
    {
        m_journal.push_back(api == MidiServiceApi::Alsa ? "list alsa" : "list jack");
        const auto it = m_ports.find(api);
        return it == m_ports.end() ? std::nullopt : std::optional(it->second);
    }
    std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& port) override
    {
        return std::make_unique<JournalDevice>(port.name, MidiResult::NoError, m_journal);
    }

private:
    std::map<MidiServiceApi, std::vector<std::string>> m_ports;
    Journal& m_journal;
};

struct Machine
{
    explicit Machine(std::map<MidiServiceApi, std::vector<std::string>> servicePorts = {})
        : ports(std::move(servicePorts))
    { }

    std::map<MidiServiceApi, std::vector<std::string>> ports;
    std::int32_t synthOpenResult = MidiResult::NoError;
    Journal journal;

    SystemMidiService service()
    {
        return SystemMidiService(std::make_unique<FakeDirectory>(ports, journal),
            [this] { return std::make_unique<JournalDevice>("synth", synthOpenResult, journal); });
    }
};

} // namespace

TEST(SystemMidiService, withoutPortsDevice0IsTheSynthAndGetsEveryMessage)
{
    Machine machine;
    {
        SystemMidiService service = machine.service();
        ASSERT_EQ(service.open(0), MidiResult::NoError);
        service.send(0x7F2498);
        service.close();
        service.close();
    }
    const Journal expected { "list alsa", "list jack", "open synth", "send synth 8332440",
        "close synth" };
    EXPECT_EQ(machine.journal, expected);
}

TEST(SystemMidiService, device0IsTheFirstPortAndJackIsNotAskedThen)
{
    Machine machine {
        { { MidiServiceApi::Alsa, { "Midi Through:Midi Through Port-0 14:0", "Synth:in 128:0" } } }
    };
    SystemMidiService service = machine.service();
    ASSERT_EQ(service.open(0), MidiResult::NoError);
    service.send(0xC8);
    const Journal expected { "list alsa", "open Synth:in 128:0", "send Synth:in 128:0 200" };
    EXPECT_EQ(machine.journal, expected);
}

TEST(SystemMidiService, aDevicePastTheEndIsNoSuchDevice)
{
    Machine machine { { { MidiServiceApi::Jack, { "a:in", "b:in" } } } };
    SystemMidiService service = machine.service();
    EXPECT_EQ(service.open(3), MidiResult::BadDeviceId);
    EXPECT_EQ(service.open(-1), MidiResult::BadDeviceId);
    service.send(0xC8);
    ASSERT_EQ(service.open(2), MidiResult::NoError);
    EXPECT_EQ(machine.journal.back(), "open synth");
}

TEST(SystemMidiService, aFailedOpenPassesTheDevicesCodeOnAndLeavesNothingOpen)
{
    for (const std::int32_t code : { MidiResult::NotReady, MidiResult::InvalidSetup }) {
        Machine machine;
        machine.synthOpenResult = code;
        {
            SystemMidiService service = machine.service();
            EXPECT_EQ(service.open(0), code);
            service.send(0xC8);
            service.close();
        }
        EXPECT_EQ(machine.journal.back(), "open synth") << "nothing sent or closed after " << code;
    }
}

TEST(SystemMidiService, reopeningClosesTheDeviceHeldBefore)
{
    Machine machine { { { MidiServiceApi::Alsa, { "Synth:in 128:0" } } } };
    SystemMidiService service = machine.service();
    ASSERT_EQ(service.open(0), MidiResult::NoError);
    ASSERT_EQ(service.open(1), MidiResult::NoError);
    const Journal expected { "list alsa", "open Synth:in 128:0", "close Synth:in 128:0",
        "list alsa", "open synth" };
    EXPECT_EQ(machine.journal, expected);
}
