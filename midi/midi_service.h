#pragma once

#include <cstdint>

// The operating system's MIDI output service, reduced to the three calls the port makes.
class MidiService
{
public:
    virtual ~MidiService() = default;

    // Opens output device `deviceId` (0 is the first). 0 on success, else a MidiResult code.
    [[nodiscard]] virtual std::int32_t open(std::int32_t deviceId) = 0;
    // Sends one packed short message to the open device.
    virtual void send(std::uint32_t message) = 0;
    // Closes the open device.
    virtual void close() = 0;
};
