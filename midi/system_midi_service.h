#pragma once

#include "midi/midi_service.h"
#include "midi/output_device.h"
#include "midi/port_directory.h"

#include <functional>
#include <memory>

// The operating system's MIDI output service with the built-in synthesiser as its last device.
[[nodiscard]] std::unique_ptr<MidiService> makeSystemMidiService();

// The MIDI service over the machine's output devices: each open lists the devices afresh
// (`DeviceList::outputDevices`) and opens device `deviceId` of that list.
class SystemMidiService : public MidiService
{
public:
    using SynthFactory = std::function<std::unique_ptr<OutputDevice>()>;

    SystemMidiService(std::unique_ptr<PortDirectory> directory, SynthFactory makeSynth);
    ~SystemMidiService() override;

    [[nodiscard]] std::int32_t open(std::int32_t deviceId) override;
    void send(std::uint32_t message) override;
    void close() override;

    // The devices as the last open listed them.
    [[nodiscard]] const std::vector<DeviceEntry>& devices() const { return m_devices; }

private:
    [[nodiscard]] std::vector<DeviceEntry> listDevices();
    [[nodiscard]] std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& entry);

    std::unique_ptr<PortDirectory> m_directory;
    SynthFactory m_makeSynth;
    std::vector<DeviceEntry> m_devices;
    std::unique_ptr<OutputDevice> m_device;
};
