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

// Data bytes of each channel message kind, by the status byte's high nibble 0x8 to 0xE.
constexpr int DataBytes[] = { 2, 2, 2, 2, 1, 1, 2 };

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

std::vector<unsigned char> ShortMessage::wireBytes(std::uint32_t message)
{
    const unsigned status = message & 0xFF;
    const unsigned data1 = message >> 8 & 0xFF;
    const unsigned data2 = message >> 16 & 0xFF;
    if (status < 0x80 || status >= 0xF0 || data1 > 127 || data2 > 127 || message >> 24 != 0)
        return {};
    std::vector<unsigned char> bytes { static_cast<unsigned char>(status),
        static_cast<unsigned char>(data1) };
    if (DataBytes[(status >> 4) - 8] == 2)
        bytes.push_back(static_cast<unsigned char>(data2));
    return bytes;
}
