#pragma once

#include <cstdint>

// One output device of the MIDI service: a port of the operating system's MIDI service or the
// built-in synthesiser. The service opens at most one device at a time.
class OutputDevice
{
public:
    virtual ~OutputDevice() = default;

    // 0 on success, else a MidiResult code.
    [[nodiscard]] virtual std::int32_t open() = 0;
    // A packed short message: status byte in bits 0-7, data bytes in bits 8-15 and 16-23.
    virtual void send(std::uint32_t message) = 0;
    // Releases the device; whatever was sent before reaches it first.
    virtual void close() = 0;
};
