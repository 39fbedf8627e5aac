#pragma once

#include "midi/midi_service.h"

#include <memory>

// The operating system's MIDI output service with the built-in synthesiser as its last device.
[[nodiscard]] std::unique_ptr<MidiService> makeSystemMidiService();
