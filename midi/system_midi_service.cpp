#include "midi/system_midi_service.h"

#include "midi/midi_result.h"

SystemMidiService::SystemMidiService(
    std::unique_ptr<PortDirectory> directory, SynthFactory makeSynth)
    : m_directory(std::move(directory))
    , m_makeSynth(std::move(makeSynth))
{ }

SystemMidiService::~SystemMidiService()
{
    close();
}

std::int32_t SystemMidiService::open(std::int32_t deviceId)
{
    close();
    m_devices = listDevices();
    if (deviceId < 0 || static_cast<std::size_t>(deviceId) >= m_devices.size())
        return MidiResult::BadDeviceId;
    std::unique_ptr<OutputDevice> device = makeDevice(m_devices[deviceId]);
    if (!device)
        return MidiResult::NoDriver;
    const std::int32_t rc = device->open();
    if (rc == MidiResult::NoError)
        m_device = std::move(device);
    return rc;
}

void SystemMidiService::send(std::uint32_t message)
{
    if (m_device)
        m_device->send(message);
}

void SystemMidiService::close()
{
    if (!m_device)
        return;
    m_device->close();
    m_device.reset();
}

// Services are asked one at a time, so that a later one is not even started once an earlier
// one offers a port.
std::vector<DeviceEntry> SystemMidiService::listDevices()
{
    std::vector<ServicePorts> services;
    for (const MidiServiceApi api : m_directory->apis()) {
        services.push_back({ api, m_directory->outputPorts(api) });
        if (DeviceList::outputDevices({ services.back() }, DeviceList::ClientName).size() > 1)
            break;
    }
    return DeviceList::outputDevices(services, DeviceList::ClientName);
}

std::unique_ptr<OutputDevice> SystemMidiService::makeDevice(const DeviceEntry& entry)
{
    if (entry.kind == DeviceEntry::Kind::BuiltInSynth)
        return m_makeSynth ? m_makeSynth() : nullptr;
    return m_directory->makeDevice(entry);
}
