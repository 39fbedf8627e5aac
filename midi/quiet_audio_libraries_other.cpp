#include "midi/quiet_audio_libraries.h"

// macOS: CoreMIDI and CoreAudio print nothing of their own.
void quietAudioLibraries()
{ }
