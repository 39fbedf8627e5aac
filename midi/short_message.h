#pragma once

#include <cstdint>
#include <optional>

// Packing of the three channel messages into a 32-bit short message, least significant byte
// first: status, first data byte, second data byte, 0. A channel outside 0-15 or a data byte
// outside 0-127 cannot be packed and gives no message.
namespace ShortMessage {

[[nodiscard]] std::optional<std::uint32_t> programChange(
    std::int16_t channel, std::int16_t program);
[[nodiscard]] std::optional<std::uint32_t> noteOn(
    std::int16_t channel, std::int16_t note, std::int16_t velocity);
[[nodiscard]] std::optional<std::uint32_t> noteOff(std::int16_t channel, std::int16_t note);

} // namespace ShortMessage
