#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The four bytes of a packed message, least significant first, as the platform receives them.
Bytes littleEndian(std::uint32_t value)
{
    return { static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24) };
}

TEST(ShortMessage, packsTheThreeMessagesOnChannel8)
{
    const struct
    {
        std::optional<std::uint32_t> message;
        Bytes packed;
        Bytes onTheWire;
    } cases[] = {
        { ShortMessage::programChange(8, 0), { 0xC8, 0x00, 0x00, 0x00 }, { 0xC8, 0x00 } },
        { ShortMessage::programChange(8, 119), { 0xC8, 0x77, 0x00, 0x00 }, { 0xC8, 0x77 } },
        { ShortMessage::noteOn(8, 36, 127), { 0x98, 0x24, 0x7F, 0x00 }, { 0x98, 0x24, 0x7F } },
        { ShortMessage::noteOff(8, 36), { 0x88, 0x24, 0x00, 0x00 }, { 0x88, 0x24, 0x00 } },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.message.has_value()) << int(c.packed[0]);
        EXPECT_EQ(littleEndian(*c.message), c.packed);
        EXPECT_EQ(ShortMessage::wireBytes(*c.message), c.onTheWire);
    }
}

TEST(ShortMessage, refusesValuesThatDoNotFitTheirByte)
{
    for (const std::optional<std::uint32_t> refused : { ShortMessage::noteOn(16, 60, 100),
             ShortMessage::programChange(-1, 0), ShortMessage::programChange(8, 128),
             ShortMessage::programChange(8, -1), ShortMessage::noteOn(8, 128, 100),
             ShortMessage::noteOff(8, -1), ShortMessage::noteOff(8, 32767),
             ShortMessage::noteOn(8, 60, -1), ShortMessage::noteOn(8, 60, 128) })
        EXPECT_FALSE(refused.has_value()) << std::hex << refused.value_or(0);
}

TEST(ShortMessage, putsNothingOnTheWireButChannelMessages)
{
    // A data byte for status, system exclusive, reset, data byte 0x80, something in the top byte.
    for (const std::uint32_t message :
        { 0x00000024u, 0x000000F0u, 0x000000FFu, 0x00248098u, 0x017F2498u })
        EXPECT_TRUE(ShortMessage::wireBytes(message).empty()) << std::hex << message;
}

} // namespace
