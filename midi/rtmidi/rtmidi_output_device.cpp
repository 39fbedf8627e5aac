#include "midi/rtmidi/rtmidi_output_device.h"

#include "midi/midi_result.h"
#include "midi/short_message.h"

#include <thread>

namespace {

// Two periods of a JACK server at 2048 frames and 44.1 kHz, the largest usual setting: a message
// queued this long ago has reached the device.
constexpr std::chrono::milliseconds QueueDrainTime { 100 };

} // namespace

RtMidiOutputDevice::RtMidiOutputDevice(
    RtMidi::Api api, std::string portName, bool queuesOutput, std::unique_ptr<RtMidiClient> client)
    : m_api(api)
    , m_portName(std::move(portName))
    , m_queuesOutput(queuesOutput)
    , m_spareClient(std::move(client))
{ }

RtMidiOutputDevice::~RtMidiOutputDevice()
{
    close();
    RtMidiClient::disconnect(std::move(m_spareClient));
}

std::int32_t RtMidiOutputDevice::open()
{
    close();
    m_client = m_spareClient ? std::move(m_spareClient) : RtMidiClient::connect(m_api);
    if (!m_client)
        return MidiResult::NoDriver;
    const std::int32_t rc = m_client->openPort(m_portName);
    if (rc != MidiResult::NoError)
        RtMidiClient::disconnect(std::move(m_client));
    return rc;
}

void RtMidiOutputDevice::send(std::uint32_t message)
{
    if (!m_client)
        return;
    const std::vector<unsigned char> bytes = ShortMessage::wireBytes(message);
    if (bytes.empty())
        return;
    m_client->send(bytes);
    m_lastSend = std::chrono::steady_clock::now();
}

void RtMidiOutputDevice::close()
{
    if (!m_client)
        return;
    if (m_queuesOutput)
        waitForQueue();
    RtMidiClient::disconnect(std::move(m_client));
}

// Only a recent send makes the close wait, so that quitting stays quick otherwise.
void RtMidiOutputDevice::waitForQueue() const
{
    const auto since = std::chrono::steady_clock::now() - m_lastSend;
    if (since < QueueDrainTime)
        std::this_thread::sleep_for(QueueDrainTime - since);
}
