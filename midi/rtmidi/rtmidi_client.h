#pragma once

#include <RtMidi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One client of a MIDI service through RtMidi, named `DeviceList::ClientName`. It prints nothing:
// RtMidi's errors are kept and turned into MidiResult codes.
class RtMidiClient
{
public:
    // No client when the service is missing (no ALSA sequencer, say) or does not answer.
    [[nodiscard]] static std::unique_ptr<RtMidiClient> connect(RtMidi::Api api);
    // Closes `client`, waiting no longer for its service than a connect would.
    static void disconnect(std::unique_ptr<RtMidiClient> client);

    explicit RtMidiClient(RtMidi::Api api);
    RtMidiClient(const RtMidiClient&) = delete;
    RtMidiClient& operator=(const RtMidiClient&) = delete;

    // The service's output ports, "client:port" (ALSA adds " C:P" numbers).
    [[nodiscard]] std::vector<std::string> portNames();
    // Connects the client's port "out" to the port of that name. 0 or a MidiResult code.
    [[nodiscard]] std::int32_t openPort(const std::string& name);
    void send(const std::vector<unsigned char>& bytes);

private:
    static void onError(RtMidiError::Type type, const std::string& text, void* client);

    RtMidi::Api m_api;
    RtMidiOut m_out;
    std::optional<RtMidiError::Type> m_error;
};
