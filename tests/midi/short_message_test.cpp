#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <array>
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

struct Example
{
    const char* what;
    std::optional<std::uint32_t> message;
    Bytes packed;
    Bytes onTheWire;
};

} // namespace

TEST(ShortMessage, packsTheThreeMessagesOfAKeyPressOnChannel8)
{
    const std::array<Example, 5> examples { {
        { "program 0", ShortMessage::programChange(8, 0), { 0xC8, 0x00, 0x00, 0x00 },
            { 0xC8, 0x00 } },
        { "program 119", ShortMessage::programChange(8, 119), { 0xC8, 0x77, 0x00, 0x00 },
            { 0xC8, 0x77 } },
        { "note on 36 at 127", ShortMessage::noteOn(8, 36, 127), { 0x98, 0x24, 0x7F, 0x00 },
            { 0x98, 0x24, 0x7F } },
        { "note on at velocity 0 still goes out", ShortMessage::noteOn(8, 36, 0),
            { 0x98, 0x24, 0x00, 0x00 }, { 0x98, 0x24, 0x00 } },
        { "note off 36", ShortMessage::noteOff(8, 36), { 0x88, 0x24, 0x00, 0x00 },
            { 0x88, 0x24, 0x00 } },
    } };
    for (const Example& e : examples) {
        ASSERT_TRUE(e.message.has_value()) << e.what;
        EXPECT_EQ(littleEndian(*e.message), e.packed) << e.what;
        EXPECT_EQ(ShortMessage::wireBytes(*e.message), e.onTheWire) << e.what;
    }
}

TEST(ShortMessage, refusesValuesThatDoNotFitTheirByte)
{
    const std::array<std::pair<const char*, std::optional<std::uint32_t>>, 9> refused { {
        { "channel 16", ShortMessage::noteOn(16, 60, 100) },
        { "channel -1", ShortMessage::programChange(-1, 0) },
        { "program 128", ShortMessage::programChange(8, 128) },
        { "program -1", ShortMessage::programChange(8, -1) },
        { "note 128", ShortMessage::noteOn(8, 128, 100) },
        { "note -1 off", ShortMessage::noteOff(8, -1) },
        { "note 32767 off", ShortMessage::noteOff(8, 32767) },
        { "velocity -1", ShortMessage::noteOn(8, 60, -1) },
        { "velocity 128", ShortMessage::noteOn(8, 60, 128) },
    } };
    for (const auto& [what, message] : refused)
        EXPECT_FALSE(message.has_value()) << what;
}

TEST(ShortMessage, putsNothingOnTheWireButChannelMessages)
{
    const std::array<std::uint32_t, 5> notChannelMessages {
        0x00000024, // a data byte where the status belongs
        0x000000F0, // system exclusive
        0x000000FF, // reset
        0x00248098, // data byte 0x80
        0x017F2498, // something in the top byte
    };
    for (const std::uint32_t message : notChannelMessages)
        EXPECT_TRUE(ShortMessage::wireBytes(message).empty()) << std::hex << message;
}
