// Time to open the built-in synthesiser: SoundFont load alone (no audio driver), then with the
// desktop's audio outputs when a sound server runs.
// Usage: synth_open_bench [SOUNDFONT...]   (default: the system's General MIDI SoundFont)

#include "midi/fluidsynth/fluid_synth_device.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int runs = 5;

void measure(const char* label, SynthOptions options)
{
    std::vector<double> times;
    std::int32_t rc = 0;
    for (int run = 0; run < runs; ++run) {
        FluidSynthDevice synth(options);
        const auto start = std::chrono::steady_clock::now();
        rc = synth.open();
        const std::chrono::duration<double, std::milli> elapsed
            = std::chrono::steady_clock::now() - start;
        times.push_back(elapsed.count());
    }
    std::ranges::sort(times);
    std::printf("  %-24s rc %2d  median %7.1f ms  min %7.1f ms  max %7.1f ms\n", label, rc,
        times[runs / 2], times.front(), times.back());
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> soundFonts(argv + 1, argv + argc);
    if (soundFonts.empty())
        soundFonts.push_back(generalMidiSoundFonts().front());
    for (const auto& soundFont : soundFonts) {
        std::printf("%s\n", soundFont.string().c_str());
        SynthOptions options = builtInSynthOptions();
        options.soundFonts = { soundFont };
        measure("with audio output", options);
        options.outputs.clear();
        measure("without audio output", options);
    }
}
