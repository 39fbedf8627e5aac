#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Packing of the three channel messages into a 32-bit short message, least significant byte
// first: status, first data byte, second data byte, 0. A channel outside 0-15 or a data byte
// outside 0-127 cannot be packed and gives no message.
namespace ShortMessage {

[[nodiscard]] std::optional<std::uint32_t> programChange(
    std::int16_t channel, std::int16_t program);
[[nodiscard]] std::optional<std::uint32_t> noteOn(
    std::int16_t channel, std::int16_t note, std::int16_t velocity);
[[nodiscard]] std::optional<std::uint32_t> noteOff(std::int16_t channel, std::int16_t note);

// The bytes that go on the wire for a packed channel message: status and one or two data bytes.
// Empty for anything else (a system message, a data byte above 127).
[[nodiscard]] std::vector<unsigned char> wireBytes(std::uint32_t message);

} // namespace ShortMessage
