#pragma once

#include "midi/audio/audio_output.h"
#include "midi/fluidsynth/synth_options.h"
#include "midi/output_device.h"

#include <atomic>
#include <cstdint>
#include <fluidsynth/types.h>
#include <memory>
#include <span>

struct FluidSynthLibrary;

// A General MIDI synthesiser as a MIDI output device: FluidSynth playing a SoundFont, either to
// an audio output or, with no output in the options, rendered by the owner (for tests). It
// renders on demand, from the output's audio thread; while nothing sounds it writes zeros
// without rendering, and after a musician's pause the output pauses until the next note.
class FluidSynthDevice : public OutputDevice, private AudioSource
{
public:
    explicit FluidSynthDevice(SynthOptions options);
    ~FluidSynthDevice() override;
    FluidSynthDevice(const FluidSynthDevice&) = delete;
    FluidSynthDevice& operator=(const FluidSynthDevice&) = delete;

    // MidiResult::NoDevice when the FluidSynth library is missing, MidiResult::InvalidSetup when no
    // SoundFont of the options loads (missing or damaged ones are skipped), MidiResult::NotReady
    // when no audio output plays. Opening an open device reopens it.
    [[nodiscard]] std::int32_t open() override;
    // Program change, note on (velocity 0: note off) and note off; anything else is ignored. A
    // note on wakes a paused output, and replaces a lost one by the first sound server that
    // answers.
    void send(std::uint32_t message) override;
    // Lets sounding notes end (a quarter of a second at most) before the output stops.
    void close() override;

    // Render mode only: writes the next left.size() frames. Both spans have the same size. False
    // once nothing has sounded for a while (the frames are then silent).
    bool render(std::span<float> left, std::span<float> right);
    [[nodiscard]] bool isOpen() const { return m_synth != nullptr; }

private:
    bool render(const StereoBuffer& buffer) override;
    void createSynth();
    [[nodiscard]] bool loadSoundFont();
    [[nodiscard]] bool openOutput(bool serversOnly);
    void wakeOutput();
    void letSoundEnd();
    void release();

    SynthOptions m_options;
    const FluidSynthLibrary* m_fluid = nullptr; // set by the first open
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    std::unique_ptr<AudioOutput> m_output;
    // Set by a note on, taken by the audio thread.
    std::atomic<bool> m_woken { false };
    // The audio thread's count of frames without a voice or an audible sample.
    std::size_t m_quietFrames = 0;
};
