#pragma once

// Keeps the client libraries of the MIDI service and of the synthesiser's audio drivers (alsa-lib,
// libjack) from writing to stderr: a missing service or sound server is a normal state that the
// keyboard reports once, with its own result code.
void quietAudioLibraries();
