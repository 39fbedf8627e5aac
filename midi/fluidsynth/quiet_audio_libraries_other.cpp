#include "midi/fluidsynth/quiet_audio_libraries.h"

// The audio drivers of this platform report errors through FluidSynth's log alone.
void quietAudioLibraries()
{ }
