#pragma once

#include "midi/midi_service.h"

#include <cstdint>
#include <optional>

// The keyboard's one MIDI output: device `Device_Id` of the MIDI service, opened at start-up and
// closed at shut-down. After a failed open, sends and the close do nothing.
class MidiPort
{
public:
    enum class State { Closed, Open, Failed };

    explicit MidiPort(MidiService& service);

    // Closes whatever the port held, then opens the device. 0 on success, else the service's code.
    [[nodiscard]] std::int32_t open(std::int32_t deviceId);
    // Sends a packed message; an empty one (a value that could not be packed) sends nothing.
    void send(std::optional<std::uint32_t> message);
    void close();

    [[nodiscard]] State state() const { return m_state; }

private:
    MidiService& m_service;
    State m_state = State::Closed;
};
