#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// When an output that can pause (PipeWire, PulseAudio) plays, and when it pauses: it plays while
// the source sounds and on through a musician's pause of silence (AudioFormat::pauseSeconds),
// then pauses until a note wakes it. JACK and FluidSynth's own drivers cannot pause: they write
// zeros instead and need none of this.
//
//               pauseFrames of silence              pause(block)
//   Playing  ---------------------------->  Pausing  ------------->  Paused
//    ^  ^                                     |                        |
//    |  +-------------------------------------+                        |
//    |    a wake() came since the block began: pause(block) refuses    |
//    +-----------------------------------------------------------------+
//                        wake(): the output resumes
//
// Playing counts silent frames; a sounding block or a wake() starts the count over. The block
// that completes the count asks the output to pause, and the output pauses where its server
// lets it (its loop thread) if pause(block) agrees. A note can come at any moment in between,
// even while the source renders that very block: wake() counts every note, and pause(block)
// refuses once one came after the block began, so no note stays unheard behind a pause. A new
// output is Playing at the end of a pause: until the first note there is no phrase to keep
// running for, so its first block pauses it.
//
// Threads: play() on the audio thread only; pause() and wake() on any thread, one at a time (the
// server's loop lock). None of them waits for another.
class MusiciansPause
{
public:
    explicit MusiciansPause(std::size_t pauseFrames)
        : m_pauseFrames(pauseFrames)
        , m_silentFrames(pauseFrames)
    { }

    // What play() made of a block.
    struct Block
    {
        bool sounds = false;
        bool pause = false; // ask the server to pause, then call pause(block) where it does
        std::uint32_t wakes = 0; // the notes counted when the block began
        bool operator==(const Block&) const = default;
    };

    // What a note asks of the output.
    struct Wake
    {
        bool resume = false; // it is paused: make it play again
        bool flush = false; // what was written last is silence, which the server may hold
                            // in its buffer ahead of the note: drop it
        bool operator==(const Wake&) const = default;
    };

    // One block of `frames`: `render()` fills it from the source, true when it sounds.
    template <typename Render> [[nodiscard]] Block play(std::size_t frames, Render render)
    {
        // Counted before the source renders: a note that the source misses, pause() sees.
        const std::uint32_t wakes = m_wakes.load();
        return played(wakes, frames, render());
    }
    // Whether the output pauses now for the block that asked it to.
    [[nodiscard]] bool pause(const Block& block);
    // A note is coming.
    [[nodiscard]] Wake wake();

private:
    [[nodiscard]] Block played(std::uint32_t wakes, std::size_t frames, bool sounds);

    const std::size_t m_pauseFrames;
    std::atomic<std::uint32_t> m_wakes { 0 };
    std::atomic<bool> m_lastSilent { false };
    bool m_paused = false; // pause() and wake()
    // The audio thread's: silent frames so far, the wakes it has seen, and whether it has asked
    // for a pause that no wake has called off yet.
    std::size_t m_silentFrames;
    std::uint32_t m_seenWakes = 0;
    bool m_asked = false;
};
