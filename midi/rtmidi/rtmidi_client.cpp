#include "midi/rtmidi/rtmidi_client.h"

#include "midi/device_list.h"
#include "midi/midi_result.h"
#include "midi/quiet_audio_libraries.h"
#include "midi/service_call.h"

#include <iostream>
#include <streambuf>

namespace {

// RtMidi writes warnings of its constructor to std::cerr, before an error callback can be set.
class SilentCerr
{
public:
    SilentCerr()
        : m_saved(std::cerr.rdbuf(nullptr))
    { }
    ~SilentCerr() { std::cerr.rdbuf(m_saved); }
    SilentCerr(const SilentCerr&) = delete;
    SilentCerr& operator=(const SilentCerr&) = delete;

private:
    std::streambuf* m_saved;
};

std::int32_t resultOf(RtMidiError::Type type)
{
    switch (type) {
    case RtMidiError::NO_DEVICES_FOUND:
    case RtMidiError::INVALID_DEVICE:
    case RtMidiError::INVALID_PARAMETER:
        return MidiResult::BadDeviceId;
    default:
        return MidiResult::Error;
    }
}

std::string serviceOf(RtMidi::Api api)
{
    return RtMidi::getApiName(api);
}

} // namespace

// A JACK server that is stopped but alive would keep the constructor waiting for good.
std::unique_ptr<RtMidiClient> RtMidiClient::connect(RtMidi::Api api)
{
    quietAudioLibraries();
    auto client = ServiceCall::run<std::unique_ptr<RtMidiClient>>(serviceOf(api), [api] {
        const SilentCerr silent;
        try {
            return std::make_unique<RtMidiClient>(api);
        } catch (const RtMidiError&) {
            return std::unique_ptr<RtMidiClient>(); // the service is missing
        }
    });
    return client ? std::move(*client) : nullptr;
}

void RtMidiClient::disconnect(std::unique_ptr<RtMidiClient> client)
{
    if (!client)
        return;
    const std::string service = serviceOf(client->m_api);
    std::shared_ptr<RtMidiClient> shared = std::move(client);
    (void)ServiceCall::run<bool>(service, [shared]() mutable {
        shared.reset();
        return true;
    });
}

RtMidiClient::RtMidiClient(RtMidi::Api api)
    : m_api(api)
    , m_out(api, std::string(DeviceList::ClientName))
{
    m_out.setErrorCallback(&RtMidiClient::onError, this);
}

std::vector<std::string> RtMidiClient::portNames()
{
    std::vector<std::string> names;
    const unsigned count = m_out.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(m_out.getPortName(i));
    return names;
}

// By name rather than number: the list may have changed since the device list was made. A port
// that is gone gives BadDeviceId; RtMidi's JACK output would otherwise "open" without any port and
// drop everything.
std::int32_t RtMidiClient::openPort(const std::string& name)
{
    const std::vector<std::string> names = portNames();
    unsigned port = 0;
    while (port < names.size() && names[port] != name)
        ++port;
    if (port == names.size())
        return MidiResult::BadDeviceId;
    m_error.reset();
    m_out.openPort(port, "out");
    if (m_error)
        return resultOf(*m_error);
    return m_out.isPortOpen() ? MidiResult::NoError : MidiResult::Error;
}

void RtMidiClient::send(const std::vector<unsigned char>& bytes)
{
    m_out.sendMessage(&bytes);
}

void RtMidiClient::onError(RtMidiError::Type type, const std::string&, void* client)
{
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
        static_cast<RtMidiClient*>(client)->m_error = type;
}
