#include "midi/fluidsynth/fluid_synth_library.h"

#include "midi/audio/shared_library.h"

#include <optional>

namespace {

// FluidSynth 2 keeps the binary interface of library version 3; the names are those of its own
// builds and of the usual packages (vcpkg drops the "lib" on Windows).
static_assert(FLUIDSYNTH_VERSION_MAJOR == 2, "the library names below are those of FluidSynth 2");

SharedLibrary loadLibrary()
{
#if defined(_WIN32)
    return SharedLibrary::load("libfluidsynth-3.dll", "fluidsynth-3.dll");
#elif defined(__APPLE__)
    return SharedLibrary::load("libfluidsynth.3.dylib");
#else
    return SharedLibrary::load("libfluidsynth.so.3");
#endif
}

std::optional<FluidSynthLibrary> resolveAll(const SharedLibrary& l)
{
    FluidSynthLibrary f {};
    const bool found = l.resolve("fluid_set_log_function", f.setLogFunction)
        && l.resolve("fluid_is_soundfont", f.isSoundFont)
        && l.resolve("new_fluid_settings", f.newSettings)
        && l.resolve("delete_fluid_settings", f.deleteSettings)
        && l.resolve("fluid_settings_setnum", f.settingsSetNum)
        && l.resolve("fluid_settings_setint", f.settingsSetInt)
        && l.resolve("fluid_settings_setstr", f.settingsSetStr)
        && l.resolve("new_fluid_synth", f.newSynth)
        && l.resolve("delete_fluid_synth", f.deleteSynth)
        && l.resolve("fluid_synth_sfload", f.soundFontLoad)
        && l.resolve("new_fluid_audio_driver2", f.newAudioDriver2)
        && l.resolve("delete_fluid_audio_driver", f.deleteAudioDriver)
        && l.resolve("fluid_synth_program_change", f.programChange)
        && l.resolve("fluid_synth_noteon", f.noteOn) && l.resolve("fluid_synth_noteoff", f.noteOff)
        && l.resolve("fluid_synth_all_notes_off", f.allNotesOff)
        && l.resolve("fluid_synth_get_active_voice_count", f.activeVoiceCount)
        && l.resolve("fluid_synth_get_gain", f.gain) && l.resolve("fluid_synth_set_gain", f.setGain)
        && l.resolve("fluid_synth_write_float", f.writeFloat);
    if (!found)
        return std::nullopt;
    return f;
}

} // namespace

const FluidSynthLibrary* fluidSynthLibrary()
{
    static const std::optional<FluidSynthLibrary> library = [] {
        const SharedLibrary shared = loadLibrary();
        return shared.isLoaded() ? resolveAll(shared) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}
