#include "midi/fluidsynth/fluid_synth_device.h"

#include "midi/fluidsynth/quiet_audio_libraries.h"
#include "midi/midi_result.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdlib>
#include <fluidsynth.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Notes still sounding at close get this long to end on their own, then fade out over
// fadeSteps steps of fadeStep: cutting a buffer mid-wave would click.
constexpr auto releaseWait = std::chrono::milliseconds(250);
constexpr auto pollInterval = std::chrono::milliseconds(5);
constexpr auto fadeStep = std::chrono::milliseconds(2);
constexpr int fadeSteps = 10;

void silenceFluidSynthLog()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

bool isSoundFont(const std::filesystem::path& path)
{
    return fluid_is_soundfont(path.string().c_str()) != 0;
}

// Without this, FluidSynth's JACK driver would start a JACK server of its own when none runs.
void forbidJackServerStart()
{
#if !defined(_WIN32)
    setenv("JACK_NO_START_SERVER", "1", 1);
#endif
}

} // namespace

FluidSynthDevice::FluidSynthDevice(SynthOptions options)
    : m_options(std::move(options))
{ }

FluidSynthDevice::~FluidSynthDevice()
{
    close();
}

std::string FluidSynthDevice::name() const
{
    return "General MIDI synthesiser (FluidSynth)";
}

std::int32_t FluidSynthDevice::open()
{
    close();
    silenceFluidSynthLog();
    const auto soundFont = std::ranges::find_if(m_options.soundFonts, isSoundFont);
    if (soundFont == m_options.soundFonts.end())
        return MidiResult::InvalidSetup;
    createSynth();
    if (fluid_synth_sfload(m_synth, soundFont->string().c_str(), 1) == FLUID_FAILED) {
        release();
        return MidiResult::InvalidSetup;
    }
    if (!m_options.audioDrivers.empty() && !startAudioDriver()) {
        release();
        return MidiResult::NotReady;
    }
    return MidiResult::NoError;
}

void FluidSynthDevice::createSynth()
{
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", m_options.sampleRate);
    fluid_settings_setnum(m_settings, "synth.gain", m_options.gain);
    // Loads only the samples of the programs in use: a large SoundFont opens in a fraction of
    // the time, and each new program costs a few milliseconds when first chosen.
    fluid_settings_setint(m_settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(m_settings, "audio.period-size", m_options.periodSize);
    fluid_settings_setint(m_settings, "audio.periods", m_options.periods);
    // The default (1) lets the server choose about 100 ms of buffering.
    fluid_settings_setint(m_settings, "audio.pulseaudio.adjust-latency", 0);
    fluid_settings_setint(m_settings, "audio.jack.autoconnect", 1);
    fluid_settings_setstr(m_settings, "audio.jack.id", m_options.clientName.c_str());
    m_synth = new_fluid_synth(m_settings);
}

bool FluidSynthDevice::startAudioDriver()
{
    forbidJackServerStart();
    quietAudioLibraries();
    for (const std::string& driver : m_options.audioDrivers) {
        fluid_settings_setstr(m_settings, "audio.driver", driver.c_str());
        m_driver = new_fluid_audio_driver(m_settings, m_synth);
        if (m_driver != nullptr)
            return true;
    }
    return false;
}

void FluidSynthDevice::send(std::uint32_t message)
{
    const int status = static_cast<int>(message & 0xFF);
    const int data1 = static_cast<int>(message >> 8 & 0xFF);
    const int data2 = static_cast<int>(message >> 16 & 0xFF);
    if (m_synth == nullptr || data1 > 127 || data2 > 127)
        return;
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0xC0:
        fluid_synth_program_change(m_synth, channel, data1);
        break;
    case 0x90:
        if (data2 > 0)
            fluid_synth_noteon(m_synth, channel, data1, data2);
        else
            fluid_synth_noteoff(m_synth, channel, data1);
        break;
    case 0x80:
        fluid_synth_noteoff(m_synth, channel, data1);
        break;
    default:
        break;
    }
}

void FluidSynthDevice::close()
{
    if (m_synth == nullptr)
        return;
    if (m_driver != nullptr)
        letSoundEnd();
    release();
}

void FluidSynthDevice::letSoundEnd()
{
    fluid_synth_all_notes_off(m_synth, -1);
    const auto deadline = Clock::now() + releaseWait;
    while (fluid_synth_get_active_voice_count(m_synth) > 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(pollInterval);
    if (fluid_synth_get_active_voice_count(m_synth) == 0)
        return;
    const float gain = fluid_synth_get_gain(m_synth);
    for (int step = fadeSteps - 1; step >= 0; --step) {
        fluid_synth_set_gain(m_synth, gain * static_cast<float>(step) / fadeSteps);
        std::this_thread::sleep_for(fadeStep);
    }
}

void FluidSynthDevice::release()
{
    if (m_driver != nullptr)
        delete_fluid_audio_driver(m_driver);
    if (m_synth != nullptr)
        delete_fluid_synth(m_synth);
    if (m_settings != nullptr)
        delete_fluid_settings(m_settings);
    m_driver = nullptr;
    m_synth = nullptr;
    m_settings = nullptr;
}

void FluidSynthDevice::render(std::span<float> left, std::span<float> right)
{
    assert(m_driver == nullptr && left.size() == right.size());
    if (m_synth == nullptr) {
        std::ranges::fill(left, 0.0F);
        std::ranges::fill(right, 0.0F);
        return;
    }
    fluid_synth_write_float(
        m_synth, static_cast<int>(left.size()), left.data(), 0, 1, right.data(), 0, 1);
}
