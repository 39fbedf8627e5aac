#pragma once

#include <filesystem>
#include <string>
#include <vector>

// How the built-in synthesiser is set up: where to look for its SoundFont and where to play.
struct SynthOptions
{
    // Tried in order; the first readable SoundFont is played.
    std::vector<std::filesystem::path> soundFonts;
    // FluidSynth audio driver names, tried in order. Empty: no driver, the owner renders the
    // samples itself (FluidSynthDevice::render).
    std::vector<std::string> audioDrivers;
    double sampleRate = 48000.0;
    // Master gain. FluidSynth's own 0.2 leaves a single loud note at -20 to -30 dBFS; 0.6 brings
    // it to -10 to -20 dBFS and keeps headroom for a few overlapping notes and release tails.
    double gain = 0.6;
    // Frames per period and number of periods: 3 x 128 frames are 8 ms at 48 kHz, the time
    // between a message and its sound. JACK uses the server's own buffer instead.
    int periodSize = 128;
    int periods = 3;
    // Client name in the sound server (JACK client, PulseAudio stream).
    std::string clientName = "nolvex-keyboard";
};

// The General MIDI SoundFonts of this platform, in order of preference.
[[nodiscard]] std::vector<std::filesystem::path> generalMidiSoundFonts();
// The platform's system General MIDI SoundFont and its desktop sound server.
[[nodiscard]] SynthOptions builtInSynthOptions();
