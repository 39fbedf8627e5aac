#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

// The bytes of every message the keyboard sends are checked on the wire, end to end.
TEST(ShortMessage, refusesValuesThatDoNotFitTheirByteAndPacksTheirExtremes)
{
    for (const std::optional<std::uint32_t> refused : { ShortMessage::noteOn(16, 60, 100),
             ShortMessage::programChange(-1, 0), ShortMessage::programChange(8, 128),
             ShortMessage::programChange(8, -1), ShortMessage::noteOn(8, 128, 100),
             ShortMessage::noteOff(8, -1), ShortMessage::noteOff(8, 32767),
             ShortMessage::noteOn(8, 60, -1), ShortMessage::noteOn(8, 60, 128) })
        EXPECT_FALSE(refused.has_value()) << std::hex << refused.value_or(0);
    EXPECT_EQ(ShortMessage::noteOn(0, 0, 0), 0x90u);
    EXPECT_EQ(ShortMessage::noteOn(15, 127, 127), 0x7F7F9Fu);
}

TEST(ShortMessage, putsNothingOnTheWireButChannelMessages)
{
    // A data byte for status, system exclusive, reset, data byte 0x80, something in the top byte.
    for (const std::uint32_t message :
        { 0x00000024u, 0x000000F0u, 0x000000FFu, 0x00248098u, 0x017F2498u })
        EXPECT_TRUE(ShortMessage::wireBytes(message).empty()) << std::hex << message;
}

} // namespace
