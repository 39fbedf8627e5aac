#include "midi/fluidsynth/fluid_synth_device.h"

#include "midi/fluidsynth/fluid_synth_library.h"
#include "midi/midi_result.h"
#include "midi/quiet_audio_libraries.h"
#include "midi/service_call.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Notes still sounding at close get this long to end on their own, then fade out over
// fadeSteps steps of fadeStep: cutting a buffer mid-wave would click.
constexpr auto releaseWait = std::chrono::milliseconds(250);
constexpr auto pollInterval = std::chrono::milliseconds(5);
constexpr auto fadeStep = std::chrono::milliseconds(2);
constexpr int fadeSteps = 10;

void silenceFluidSynthLog(const FluidSynthLibrary& f)
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        f.setLogFunction(level, nullptr, nullptr);
}

// Without this, FluidSynth's JACK driver would start a JACK server of its own when none runs.
void forbidJackServerStart()
{
#if !defined(_WIN32)
    setenv("JACK_NO_START_SERVER", "1", 0); // main sets it first, before any thread runs
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

std::int32_t FluidSynthDevice::open()
{
    close();
    m_fluid = fluidSynthLibrary();
    if (m_fluid == nullptr)
        return MidiResult::NoDevice;
    silenceFluidSynthLog(*m_fluid);
    const auto isSoundFont = [this](const std::filesystem::path& path) {
        return m_fluid->isSoundFont(path.string().c_str()) != 0;
    };
    const auto soundFont = std::ranges::find_if(m_options.soundFonts, isSoundFont);
    if (soundFont == m_options.soundFonts.end())
        return MidiResult::InvalidSetup;
    createSynth();
    if (!m_synth) {
        release();
        return MidiResult::Error;
    }
    if (m_fluid->soundFontLoad(m_synth, soundFont->string().c_str(), 1) == FLUID_FAILED) {
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
    m_settings = m_fluid->newSettings();
    m_fluid->settingsSetNum(m_settings, "synth.sample-rate", m_options.sampleRate);
    m_fluid->settingsSetNum(m_settings, "synth.gain", m_options.gain);
    // Loads only the samples of the programs in use: a large SoundFont opens in a fraction of
    // the time, and each new program costs a few milliseconds when first chosen.
    m_fluid->settingsSetInt(m_settings, "synth.dynamic-sample-loading", 1);
    m_fluid->settingsSetInt(m_settings, "audio.period-size", m_options.periodSize);
    m_fluid->settingsSetInt(m_settings, "audio.periods", m_options.periods);
    // The default (1) lets the server choose about 100 ms of buffering.
    m_fluid->settingsSetInt(m_settings, "audio.pulseaudio.adjust-latency", 0);
    m_fluid->settingsSetInt(m_settings, "audio.jack.autoconnect", 1);
    m_fluid->settingsSetStr(m_settings, "audio.jack.id", m_options.clientName.c_str());
    m_synth = m_fluid->newSynth(m_settings);
}

bool FluidSynthDevice::startAudioDriver()
{
    forbidJackServerStart();
    quietAudioLibraries();
    for (const std::string& driver : m_options.audioDrivers) {
        // A JACK server that did not answer the MIDI service's call is absent for this one too.
        if (ServiceCall::isStuck(driver))
            continue;
        m_fluid->settingsSetStr(m_settings, "audio.driver", driver.c_str());
        m_driver = m_fluid->newAudioDriver(m_settings, m_synth);
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
        m_fluid->programChange(m_synth, channel, data1);
        break;
    case 0x90:
        if (data2 > 0)
            m_fluid->noteOn(m_synth, channel, data1, data2);
        else
            m_fluid->noteOff(m_synth, channel, data1);
        break;
    case 0x80:
        m_fluid->noteOff(m_synth, channel, data1);
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
    m_fluid->allNotesOff(m_synth, -1);
    const auto deadline = Clock::now() + releaseWait;
    while (m_fluid->activeVoiceCount(m_synth) > 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(pollInterval);
    if (m_fluid->activeVoiceCount(m_synth) == 0)
        return;
    const float gain = m_fluid->gain(m_synth);
    for (int step = fadeSteps - 1; step >= 0; --step) {
        m_fluid->setGain(m_synth, gain * static_cast<float>(step) / fadeSteps);
        std::this_thread::sleep_for(fadeStep);
    }
}

void FluidSynthDevice::release()
{
    if (m_driver != nullptr)
        m_fluid->deleteAudioDriver(m_driver);
    if (m_synth != nullptr)
        m_fluid->deleteSynth(m_synth);
    if (m_settings != nullptr)
        m_fluid->deleteSettings(m_settings);
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
    m_fluid->writeFloat(
        m_synth, static_cast<int>(left.size()), left.data(), 0, 1, right.data(), 0, 1);
}
