#include "midi/rtmidi/rtmidi_port_directory.h"

#include "midi/device_list.h"
#include "midi/rtmidi/rtmidi_client.h"
#include "midi/rtmidi/rtmidi_output_device.h"

#include <algorithm>
#include <array>

namespace {

struct ServiceInfo
{
    MidiServiceApi api;
    RtMidi::Api rtApi;
    bool queuesOutput; // messages wait for the service's own cycle (see RtMidiOutputDevice)
};

// In order of preference. Each platform builds RtMidi with its own service, and JACK where a
// JACK server may run; this order then gives ALSA then JACK on Linux and CoreMIDI on macOS.
constexpr std::array<ServiceInfo, 3> Services { {
    { MidiServiceApi::Alsa, RtMidi::LINUX_ALSA, false },
    { MidiServiceApi::CoreMidi, RtMidi::MACOSX_CORE, false },
    { MidiServiceApi::Jack, RtMidi::UNIX_JACK, true },
} };

const ServiceInfo* findService(MidiServiceApi api)
{
    const auto it = std::ranges::find(Services, api, &ServiceInfo::api);
    return it == Services.end() ? nullptr : &*it;
}

class RtMidiPortDirectory : public PortDirectory
{
public:
    RtMidiPortDirectory() = default;
    RtMidiPortDirectory(const RtMidiPortDirectory&) = delete;
    RtMidiPortDirectory& operator=(const RtMidiPortDirectory&) = delete;
    ~RtMidiPortDirectory() override { RtMidiClient::disconnect(std::move(m_keptClient)); }

    std::vector<MidiServiceApi> apis() const override
    {
        std::vector<RtMidi::Api> compiled;
        RtMidi::getCompiledApi(compiled);
        std::vector<MidiServiceApi> result;
        for (const ServiceInfo& service : Services) {
            if (std::ranges::find(compiled, service.rtApi) != compiled.end())
                result.push_back(service.api);
        }
        return result;
    }

    std::optional<std::vector<std::string>> outputPorts(MidiServiceApi api) override
    {
        RtMidiClient::disconnect(std::move(m_keptClient));
        const ServiceInfo* service = findService(api);
        std::unique_ptr<RtMidiClient> client
            = service ? RtMidiClient::connect(service->rtApi) : nullptr;
        if (!client)
            return std::nullopt;
        std::vector<std::string> names = client->portNames();
        if (std::ranges::any_of(names, isCandidate)) {
            m_keptClient = std::move(client);
            m_keptApi = api;
        }
        RtMidiClient::disconnect(std::move(client));
        return names;
    }

    std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& port) override
    {
        const ServiceInfo* service = findService(port.api);
        std::unique_ptr<RtMidiClient> client = std::move(m_keptClient);
        if (!service)
            return nullptr;
        if (m_keptApi != port.api)
            RtMidiClient::disconnect(std::move(client));
        return std::make_unique<RtMidiOutputDevice>(
            service->rtApi, port.name, service->queuesOutput, std::move(client));
    }

private:
    static bool isCandidate(const std::string& portName)
    {
        return DeviceList::isCandidate(portName, DeviceList::ClientName);
    }

    // The client that listed a service offering a port that can be device 0, kept so that the
    // port opens on it: a second connection would cost as much again (a JACK client, tens of
    // milliseconds). Only such a service keeps it, so the port then is device 0 and opens on it;
    // the next listing replaces it.
    std::unique_ptr<RtMidiClient> m_keptClient;
    MidiServiceApi m_keptApi {};
};

} // namespace

std::unique_ptr<PortDirectory> makeRtMidiPortDirectory()
{
    return std::make_unique<RtMidiPortDirectory>();
}
