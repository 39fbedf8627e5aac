#include "midi/audio/musicians_pause.h"

#include <gtest/gtest.h>

namespace {

using Wake = MusiciansPause::Wake;

// Blocks of 10 frames and a pause of 20: the second silent block asks to pause.
TEST(MusiciansPause, aNoteDuringThePauseDecisionCallsThePauseOffAndFlushesOnlySilence)
{
    MusiciansPause output(20);
    const auto silent = [] { return false; };
    MusiciansPause::Block block = output.play(10, silent);
    ASSERT_TRUE(block.pause) << "a new output pauses at its first block";
    EXPECT_TRUE(output.pause(block));
    EXPECT_EQ(output.wake(), (Wake { true, true })) << "resumed, the silence before it flushed";
    EXPECT_FALSE(output.play(10, [] { return true; }).pause);
    EXPECT_EQ(output.wake(), (Wake { false, false })) << "sound is never flushed";
    EXPECT_FALSE(output.play(10, silent).pause);
    // The note comes while the source renders the block that completes the pause.
    Wake during;
    block = output.play(10, [&] { return during = output.wake(), false; });
    EXPECT_TRUE(block.pause);
    EXPECT_EQ(during, (Wake { false, true })) << "not paused yet: silence is flushed";
    EXPECT_FALSE(output.pause(block)) << "the note's wake-up is not lost";
    EXPECT_FALSE(output.play(10, silent).pause) << "the pause starts over from the note";
}

} // namespace
