#pragma once

#include "midi/output_device.h"

#include <memory>

// The built-in General MIDI synthesiser, playing to the desktop's sound server.
[[nodiscard]] std::unique_ptr<OutputDevice> makeBuiltInSynth();
