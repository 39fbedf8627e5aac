#pragma once

#include "midi/audio/audio_output.h"

#include <filesystem>
#include <string>
#include <vector>

// How the built-in synthesiser is set up: where to look for its SoundFont and where to play.
struct SynthOptions
{
    SynthOptions();

    // Tried in order; the first that FluidSynth loads is played.
    std::vector<std::filesystem::path> soundFonts;
    // Tried in order; the first that plays is kept. Empty: no output, the owner renders the
    // samples itself (FluidSynthDevice::render).
    std::vector<AudioOutputKind> outputs;
    // 48 kHz, a quantum of 128 frames (2.7 ms) where the output asks for one, and the name of
    // the keyboard's MIDI client.
    AudioFormat format;
    // Master gain. FluidSynth's own 0.2 leaves a single loud note at -20 to -30 dBFS; 0.6 brings
    // it to -10 to -20 dBFS and keeps headroom for a few overlapping notes and release tails.
    double gain = 0.6;
};

// The General MIDI SoundFonts of this platform, in order of preference.
[[nodiscard]] std::vector<std::filesystem::path> generalMidiSoundFonts();
// The platform's audio outputs in order: on Linux a running JACK server, then PipeWire, then
// PulseAudio (the lowest latency that the machine offers first), then ALSA.
[[nodiscard]] std::vector<AudioOutputKind> audioOutputs();
// The platform's system General MIDI SoundFont and its audio outputs.
[[nodiscard]] SynthOptions builtInSynthOptions();
