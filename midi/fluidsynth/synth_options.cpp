#include "midi/fluidsynth/synth_options.h"

#include "midi/audio/sound_servers.h"
#include "midi/device_list.h"
#include "midi/fluidsynth/fluid_driver_connection.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace {

// A SoundFont place: a folder under an environment variable ("" for an absolute path).
struct SoundFontPlace
{
    std::string_view base;
    std::string_view path;
};

#if defined(__APPLE__)
constexpr std::array soundFontPlaces {
    SoundFontPlace { "HOME", "Library/Audio/Sounds/Banks/default.sf2" },
    SoundFontPlace { "", "/Library/Audio/Sounds/Banks/default.sf2" },
    SoundFontPlace { "", "/Library/Audio/Sounds/Banks/FluidR3_GM.sf2" },
    SoundFontPlace { "", "/opt/homebrew/share/soundfonts/default.sf2" },
    SoundFontPlace { "", "/usr/local/share/soundfonts/default.sf2" },
};
#else
// default-GM.sf2 is the system's choice (Debian alternatives); the others where it is missing.
constexpr std::array soundFontPlaces {
    SoundFontPlace { "", "/usr/share/sounds/sf2/default-GM.sf2" },
    SoundFontPlace { "", "/usr/share/sounds/sf2/TimGM6mb.sf2" },
    SoundFontPlace { "", "/usr/share/sounds/sf2/FluidR3_GM.sf2" },
    SoundFontPlace { "", "/usr/share/soundfonts/default.sf2" },
    SoundFontPlace { "", "/usr/share/soundfonts/FluidR3_GM.sf2" },
};
#endif

std::filesystem::path resolve(const SoundFontPlace& place)
{
    if (place.base.empty())
        return std::filesystem::path(place.path);
    const char* base = std::getenv(std::string(place.base).c_str());
    if (base == nullptr || *base == '\0')
        return {};
    return std::filesystem::path(base) / place.path;
}

AudioOutputKind fluidDriver(const std::string& driver, bool server = false)
{
    return { driver,
        [driver](AudioSource& source, const AudioFormat& format) {
            return makeFluidDriverConnection(driver, source, format);
        },
        server };
}

} // namespace

SynthOptions::SynthOptions()
    : format { 48000.0, 128, std::string(DeviceList::ClientName) }
{ }

std::vector<AudioOutputKind> audioOutputs()
{
#if defined(__APPLE__)
    return { fluidDriver("coreaudio"), fluidDriver("jack", true) };
#else
    return { { "jack", makeJackConnection }, { "pipewire", makePipeWireConnection },
        { "pulseaudio", makePulseAudioConnection }, fluidDriver("alsa") };
#endif
}

std::vector<std::filesystem::path> generalMidiSoundFonts()
{
    std::vector<std::filesystem::path> paths;
    for (const SoundFontPlace& place : soundFontPlaces) {
        std::filesystem::path path = resolve(place);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

SynthOptions builtInSynthOptions()
{
    SynthOptions options;
    options.soundFonts = generalMidiSoundFonts();
    options.outputs = audioOutputs();
    return options;
}
