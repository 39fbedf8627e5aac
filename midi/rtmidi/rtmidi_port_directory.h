#pragma once

#include "midi/port_directory.h"

#include <memory>

// The MIDI services RtMidi was built with, in the keyboard's order of preference: the platform's
// own service (ALSA sequencer, CoreMIDI), then a JACK server.
[[nodiscard]] std::unique_ptr<PortDirectory> makeRtMidiPortDirectory();
