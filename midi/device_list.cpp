#include "midi/device_list.h"

#include <array>

namespace {

// Ports that only pass MIDI on to whoever reads them: ALSA's own, also as JACK bridges name it
// ("a2j:Midi Through [14] (playback): Midi Through Port-0").
constexpr std::array<std::string_view, 1> LoopbackNames { "Midi Through" };

bool isLoopback(std::string_view portName)
{
    for (const std::string_view loopback : LoopbackNames) {
        if (portName.find(loopback) != std::string_view::npos)
            return true;
    }
    return false;
}

// JACK gives a second client of the same name the suffix "-01", "-02" ...
bool isOwnPort(std::string_view portName, std::string_view ownClient)
{
    const std::string_view client = portName.substr(0, portName.find(':'));
    if (!client.starts_with(ownClient))
        return false;
    const std::string_view rest = client.substr(ownClient.size());
    return rest.empty() || rest.front() == '-';
}

std::vector<DeviceEntry> candidatePorts(const ServicePorts& service, std::string_view ownClient)
{
    std::vector<DeviceEntry> entries;
    if (!service.ports)
        return entries;
    for (const std::string& name : *service.ports) {
        if (DeviceList::isCandidate(name, ownClient))
            entries.push_back({ DeviceEntry::Kind::ServicePort, service.api, name });
    }
    return entries;
}

} // namespace

namespace DeviceList {

bool isCandidate(std::string_view portName, std::string_view ownClient)
{
    return !isLoopback(portName) && !isOwnPort(portName, ownClient);
}

std::vector<DeviceEntry> outputDevices(
    const std::vector<ServicePorts>& services, std::string_view ownClient)
{
    std::vector<DeviceEntry> devices;
    for (const ServicePorts& service : services) {
        devices = candidatePorts(service, ownClient);
        if (!devices.empty())
            break;
    }
    devices.push_back({ DeviceEntry::Kind::BuiltInSynth, MidiServiceApi::Alsa, {} });
    return devices;
}

} // namespace DeviceList
