#pragma once

#include <fluidsynth.h>

// The FluidSynth functions that the synthesiser device calls. The library is loaded at run time,
// the first time the synthesiser opens: a keyboard that plays to a MIDI port never maps it, nor
// the audio and file libraries that it pulls in.
struct FluidSynthLibrary
{
    decltype(&::fluid_set_log_function) setLogFunction;
    decltype(&::fluid_is_soundfont) isSoundFont;
    decltype(&::new_fluid_settings) newSettings;
    decltype(&::delete_fluid_settings) deleteSettings;
    decltype(&::fluid_settings_setnum) settingsSetNum;
    decltype(&::fluid_settings_setint) settingsSetInt;
    decltype(&::fluid_settings_setstr) settingsSetStr;
    decltype(&::new_fluid_synth) newSynth;
    decltype(&::delete_fluid_synth) deleteSynth;
    decltype(&::fluid_synth_sfload) soundFontLoad;
    decltype(&::new_fluid_audio_driver2) newAudioDriver2;
    decltype(&::delete_fluid_audio_driver) deleteAudioDriver;
    decltype(&::fluid_synth_program_change) programChange;
    decltype(&::fluid_synth_noteon) noteOn;
    decltype(&::fluid_synth_noteoff) noteOff;
    decltype(&::fluid_synth_all_notes_off) allNotesOff;
    decltype(&::fluid_synth_get_active_voice_count) activeVoiceCount;
    decltype(&::fluid_synth_get_gain) gain;
    decltype(&::fluid_synth_set_gain) setGain;
    decltype(&::fluid_synth_write_float) writeFloat;
};

// The functions, loaded on the first call and kept for the life of the process; null when the
// library or one of its functions is missing.
[[nodiscard]] const FluidSynthLibrary* fluidSynthLibrary();
