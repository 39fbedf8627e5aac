#include "midi/fluidsynth/built_in_synth.h"
#include "midi/rtmidi/rtmidi_port_directory.h"
#include "midi/system_midi_service.h"

std::unique_ptr<MidiService> makeSystemMidiService()
{
    return std::make_unique<SystemMidiService>(makeRtMidiPortDirectory(), &makeBuiltInSynth);
}
