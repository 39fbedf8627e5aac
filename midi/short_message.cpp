#include "midi/short_message.h"

namespace {

constexpr bool isChannel(std::int16_t value)
{
    return value >= 0 && value <= 15;
}
constexpr bool isDataByte(std::int16_t value)
{
    return value >= 0 && value <= 127;
}

constexpr std::uint32_t pack(int status, int data1, int data2)
{
    return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8
        | static_cast<std::uint32_t>(data2) << 16;
}

} // namespace

namespace ShortMessage {

std::optional<std::uint32_t> programChange(std::int16_t channel, std::int16_t program)
{
    if (!isChannel(channel) || !isDataByte(program))
        return std::nullopt;
    return pack(0xC0 + channel, program, 0);
}

std::optional<std::uint32_t> noteOn(std::int16_t channel, std::int16_t note, std::int16_t velocity)
{
    if (!isChannel(channel) || !isDataByte(note) || !isDataByte(velocity))
        return std::nullopt;
    return pack(0x90 + channel, note, velocity);
}

std::optional<std::uint32_t> noteOff(std::int16_t channel, std::int16_t note)
{
    if (!isChannel(channel) || !isDataByte(note))
        return std::nullopt;
    return pack(0x80 + channel, note, 0);
}

} // namespace ShortMessage
