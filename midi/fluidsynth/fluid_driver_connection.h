#pragma once

#include "midi/audio/audio_output.h"

#include <string>

// One of FluidSynth's own audio drivers ("alsa", "coreaudio", "jack" …) as an audio output,
// for the platforms and devices that the program does not reach by itself. It cannot pause:
// while silent it only writes zeros.
[[nodiscard]] std::shared_ptr<AudioConnection> makeFluidDriverConnection(
    const std::string& driver, AudioSource& source, const AudioFormat& format);
