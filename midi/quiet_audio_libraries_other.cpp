#include "midi/quiet_audio_libraries.h"

// WinMM, CoreMIDI and the audio drivers of these platforms print nothing of their own.
void quietAudioLibraries()
{ }
