#pragma once

// Keeps the MIDI service's client libraries (alsa-lib, libjack) from writing to stderr: a missing
// service is a normal state that the keyboard reports once, with its own result code.
void silenceLibraryMessages();
