#pragma once

#include "midi/output_device.h"
#include "midi/rtmidi/rtmidi_client.h"

#include <chrono>
#include <memory>
#include <string>

// An output port of a MIDI service, played through RtMidi. Opening connects a client of the
// keyboard to the port; closing disconnects it.
class RtMidiOutputDevice : public OutputDevice
{
public:
    // `queuesOutput`: the service hands messages over later, in its own cycle (JACK), so a close
    // right after a send must wait for them. `client`, if given, is a client of `api` that the
    // first open uses instead of connecting a new one.
    RtMidiOutputDevice(RtMidi::Api api, std::string portName, bool queuesOutput,
        std::unique_ptr<RtMidiClient> client = nullptr);
    ~RtMidiOutputDevice() override;

    [[nodiscard]] std::int32_t open() override;
    // Sends channel messages only; anything else sends nothing.
    void send(std::uint32_t message) override;
    void close() override;

private:
    void waitForQueue() const;

    RtMidi::Api m_api;
    std::string m_portName;
    bool m_queuesOutput;
    std::unique_ptr<RtMidiClient> m_client;
    std::unique_ptr<RtMidiClient> m_spareClient;
    std::chrono::steady_clock::time_point m_lastSend;
};
