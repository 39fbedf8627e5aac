#include "midi/fluidsynth/fluid_synth_library.h"

#include "midi/audio/shared_library.h"

#include <vector>

namespace {

// FluidSynth 2 keeps the binary interface of library version 3; the names are those of its own
// builds and of the usual packages.
static_assert(FLUIDSYNTH_VERSION_MAJOR == 2, "the library names below are those of FluidSynth 2");

#if defined(__APPLE__)
constexpr std::initializer_list<const char*> libraryNames { "libfluidsynth.3.dylib" };
#else
constexpr std::initializer_list<const char*> libraryNames { "libfluidsynth.so.3" };
#endif

} // namespace

const FluidSynthLibrary* fluidSynthLibrary()
{
    return functionTable<FluidSynthLibrary>(libraryNames, [](FluidSynthLibrary& f) {
        return std::vector<SharedLibrary::Symbol> {
            { "fluid_set_log_function", f.setLogFunction },
            { "fluid_is_soundfont", f.isSoundFont },
            { "new_fluid_settings", f.newSettings },
            { "delete_fluid_settings", f.deleteSettings },
            { "fluid_settings_setnum", f.settingsSetNum },
            { "fluid_settings_setint", f.settingsSetInt },
            { "fluid_settings_setstr", f.settingsSetStr },
            { "new_fluid_synth", f.newSynth },
            { "delete_fluid_synth", f.deleteSynth },
            { "fluid_synth_sfload", f.soundFontLoad },
            { "new_fluid_audio_driver2", f.newAudioDriver2 },
            { "delete_fluid_audio_driver", f.deleteAudioDriver },
            { "fluid_synth_program_change", f.programChange },
            { "fluid_synth_noteon", f.noteOn },
            { "fluid_synth_noteoff", f.noteOff },
            { "fluid_synth_all_notes_off", f.allNotesOff },
            { "fluid_synth_get_active_voice_count", f.activeVoiceCount },
            { "fluid_synth_get_gain", f.gain },
            { "fluid_synth_set_gain", f.setGain },
            { "fluid_synth_write_float", f.writeFloat },
        };
    });
}
