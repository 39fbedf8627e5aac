#include "midi/fluidsynth/built_in_synth.h"

#include "midi/fluidsynth/fluid_synth_device.h"

std::unique_ptr<OutputDevice> makeBuiltInSynth()
{
    return std::make_unique<FluidSynthDevice>(builtInSynthOptions());
}
