#pragma once

#include "midi/fluidsynth/synth_options.h"
#include "midi/output_device.h"

#include <cstdint>
#include <fluidsynth/types.h>
#include <span>
#include <string>

struct FluidSynthLibrary;

// A General MIDI synthesiser as a MIDI output device: FluidSynth playing a SoundFont, either to
// an audio driver or, with no driver in the options, rendered by the owner (for tests).
class FluidSynthDevice : public OutputDevice
{
public:
    explicit FluidSynthDevice(SynthOptions options);
    ~FluidSynthDevice() override;
    FluidSynthDevice(const FluidSynthDevice&) = delete;
    FluidSynthDevice& operator=(const FluidSynthDevice&) = delete;

    // MidiResult::NoDevice when the FluidSynth library is missing, MidiResult::InvalidSetup when no
    // SoundFont can be loaded, MidiResult::NotReady when no audio driver starts. Opening an open
    // device reopens it.
    [[nodiscard]] std::int32_t open() override;
    // Program change, note on (velocity 0: note off) and note off; anything else is ignored.
    void send(std::uint32_t message) override;
    // Lets sounding notes end (a quarter of a second at most) before the driver stops.
    void close() override;

    // Render mode only: writes the next left.size() frames. Both spans have the same size.
    void render(std::span<float> left, std::span<float> right);
    [[nodiscard]] bool isOpen() const { return m_synth != nullptr; }

private:
    void createSynth();
    [[nodiscard]] bool startAudioDriver();
    void letSoundEnd();
    void release();

    SynthOptions m_options;
    const FluidSynthLibrary* m_fluid = nullptr; // set by the first open
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_audio_driver_t* m_driver = nullptr;
};
