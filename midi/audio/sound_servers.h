#pragma once

#include "midi/audio/audio_output.h"

// The program's own connections to the sound servers of Linux desktops. Creating one does not
// contact the server yet; AudioOutput::open connects it.
[[nodiscard]] std::shared_ptr<AudioConnection> makeJackConnection(
    AudioSource& source, const AudioFormat& format);
// These two give nothing when the server's client library is missing (it is loaded at run time).
[[nodiscard]] std::shared_ptr<AudioConnection> makePipeWireConnection(
    AudioSource& source, const AudioFormat& format);
[[nodiscard]] std::shared_ptr<AudioConnection> makePulseAudioConnection(
    AudioSource& source, const AudioFormat& format);
