#pragma once

// Keeps the audio libraries that FluidSynth's drivers load (libjack, ALSA) from printing to the
// terminal while a driver is tried: a missing sound server is a normal state, reported by open.
void quietAudioLibraries();
