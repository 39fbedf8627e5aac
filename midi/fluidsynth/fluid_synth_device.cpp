#include "midi/fluidsynth/fluid_synth_device.h"

#include "midi/fluidsynth/fluid_synth_library.h"
#include "midi/midi_result.h"
#include "midi/quiet_audio_libraries.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Nothing sounds once no voice plays and no sample reaches half of a 16-bit step (-96 dBFS) for
// this long, so that the reverb's tail ends first. Then the synthesiser stops rendering until
// the next note on.
constexpr float silenceLevel = 1.0F / 65536;
constexpr double silenceSeconds = 0.1;

// Notes still sounding at close get this long to end on their own, then fade out over
// fadeSteps steps of fadeStep: cutting a buffer mid-wave would click.
constexpr auto releaseWait = std::chrono::milliseconds(250);
constexpr auto pollInterval = std::chrono::milliseconds(5);
constexpr auto fadeStep = std::chrono::milliseconds(2);
constexpr int fadeSteps = 10;

// FluidSynth's errors and warnings while one is in scope; otherwise they are dropped. Driver
// threads may log at any time, so the log hook, installed once, points at no object: it finds
// the collectors under a lock, and one that has gone is no longer among them.
class LoadComplaints
{
public:
    // Before the library's first use: its log goes to the hook from then on.
    static void install(const FluidSynthLibrary& f)
    {
        static std::once_flag installed;
        std::call_once(installed, [&f] {
            for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
                f.setLogFunction(level, level <= FLUID_WARN ? &collect : nullptr, nullptr);
        });
    }
    LoadComplaints()
    {
        const std::lock_guard lock(logMutex);
        collectors.push_back(this);
    }
    ~LoadComplaints()
    {
        const std::lock_guard lock(logMutex);
        std::erase(collectors, this);
    }
    LoadComplaints(const LoadComplaints&) = delete;
    LoadComplaints& operator=(const LoadComplaints&) = delete;

    // FluidSynth's first complaint, and how many more; nothing when there was none.
    [[nodiscard]] std::string summary() const
    {
        const std::lock_guard lock(logMutex);
        if (m_messages.size() < 2)
            return m_messages.empty() ? std::string() : m_messages[0];
        return m_messages[0] + ", and " + std::to_string(m_messages.size() - 1) + " more";
    }

private:
    static void collect(int, const char* message, void*)
    {
        const std::lock_guard lock(logMutex);
        for (LoadComplaints* collector : collectors)
            collector->m_messages.emplace_back(message);
    }

    static inline std::mutex logMutex;
    static inline std::vector<LoadComplaints*> collectors;
    std::vector<std::string> m_messages;
};

// Without this, a JACK client (FluidSynth's driver on macOS) would start a server of its own.
void forbidJackServerStart()
{
    setenv("JACK_NO_START_SERVER", "1", 0); // main sets it first, before any thread runs
}

// Why FluidSynth does not take a candidate for a SoundFont; nothing when there is no such file
// (a dangling link included): not being installed is no fault.
std::optional<std::string> whyPassedOver(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return std::nullopt;
    const auto unreadable
        = [](const std::string& reason) { return "cannot be read (" + reason + ")"; };
    if (error) // a loop of links, a folder on the way that may not be searched
        return unreadable(error.message());
    if (std::filesystem::is_directory(status))
        return unreadable(std::make_error_code(std::errc::is_a_directory).message());
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen(path.string().c_str(), "rb"), &std::fclose);
    return file ? std::string("is not a SoundFont file") : unreadable(std::strerror(errno));
}

bool isQuiet(const StereoBuffer& buffer)
{
    for (std::size_t i = 0; i < buffer.frames * buffer.step; i += buffer.step) {
        if (std::fabs(buffer.left[i]) >= silenceLevel || std::fabs(buffer.right[i]) >= silenceLevel)
            return false;
    }
    return true;
}

std::size_t silenceFrames(const SynthOptions& options)
{
    return static_cast<std::size_t>(silenceSeconds * options.format.sampleRate);
}

} // namespace

FluidSynthDevice::FluidSynthDevice(SynthOptions options)
    : m_options(std::move(options))
    , m_quietFrames(silenceFrames(m_options))
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
    LoadComplaints::install(*m_fluid);
    createSynth();
    if (!m_synth) {
        release();
        return MidiResult::Error;
    }
    if (!loadSoundFont()) {
        release();
        return MidiResult::InvalidSetup;
    }
    if (!m_options.outputs.empty() && !openOutput(false)) {
        release();
        return MidiResult::NotReady;
    }
    return MidiResult::NoError;
}

void FluidSynthDevice::createSynth()
{
    m_settings = m_fluid->newSettings();
    m_fluid->settingsSetNum(m_settings, "synth.sample-rate", m_options.format.sampleRate);
    m_fluid->settingsSetNum(m_settings, "synth.gain", m_options.gain);
    // Loads only the samples of the programs in use: a large SoundFont opens in a fraction of
    // the time, and each new program costs a few milliseconds when first chosen.
    m_fluid->settingsSetInt(m_settings, "synth.dynamic-sample-loading", 1);
    m_synth = m_fluid->newSynth(m_settings);
}

// The first of the options' SoundFonts that FluidSynth loads. One that is there but cannot be
// read, or is no SoundFont, is named on stderr with the reason; one that fails to load, or loads
// with samples left out (whose instruments stay silent), with FluidSynth's first complaint.
bool FluidSynthDevice::loadSoundFont()
{
    for (const std::filesystem::path& path : m_options.soundFonts) {
        const std::string name = path.string();
        if (m_fluid->isSoundFont(name.c_str()) == 0) {
            if (const std::optional<std::string> why = whyPassedOver(path))
                std::fprintf(
                    stderr, "nolvex-keyboard: the SoundFont %s %s\n", name.c_str(), why->c_str());
            continue;
        }
        const LoadComplaints complaints;
        const bool loaded = m_fluid->soundFontLoad(m_synth, name.c_str(), 1) != FLUID_FAILED;
        if (const std::string complaint = complaints.summary(); !complaint.empty()) {
            std::fprintf(stderr, "nolvex-keyboard: the SoundFont %s %s (FluidSynth: %s)\n",
                name.c_str(),
                loaded ? "is damaged: some instruments will stay silent"
                       : "is damaged and was not loaded",
                complaint.c_str());
        }
        if (loaded)
            return true;
    }
    return false;
}

// The first output of the options that plays. A service that did not answer an earlier call
// (the MIDI listing's, say) is skipped at once (ServiceCall).
bool FluidSynthDevice::openOutput(bool serversOnly)
{
    forbidJackServerStart();
    quietAudioLibraries();
    for (const AudioOutputKind& kind : m_options.outputs) {
        if (!serversOnly || kind.server)
            m_output = AudioOutput::open(kind, *this, m_options.format);
        if (m_output)
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
        if (data2 > 0) {
            m_fluid->noteOn(m_synth, channel, data1, data2);
            wakeOutput();
        } else {
            m_fluid->noteOff(m_synth, channel, data1);
        }
        break;
    case 0x80:
        m_fluid->noteOff(m_synth, channel, data1);
        break;
    default:
        break;
    }
}

// The note is in the synthesiser before the audio thread is told. A lost output is replaced at a
// note, not before: nothing waits for the server in the meantime.
void FluidSynthDevice::wakeOutput()
{
    m_woken.store(true);
    if (m_output && m_output->isLost())
        m_output.reset();
    if (!m_output && !m_options.outputs.empty())
        (void)openOutput(true);
    if (m_output)
        m_output->wake();
}

void FluidSynthDevice::close()
{
    if (m_output && !m_output->isLost())
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
    m_output.reset();
    if (m_synth != nullptr)
        m_fluid->deleteSynth(m_synth);
    if (m_settings != nullptr)
        m_fluid->deleteSettings(m_settings);
    m_synth = nullptr;
    m_settings = nullptr;
}

bool FluidSynthDevice::render(std::span<float> left, std::span<float> right)
{
    assert(!m_output && left.size() == right.size());
    if (m_synth != nullptr)
        return render(StereoBuffer { left.data(), right.data(), left.size() });
    std::ranges::fill(left, 0.0F);
    std::ranges::fill(right, 0.0F);
    return false;
}

// On the audio thread.
bool FluidSynthDevice::render(const StereoBuffer& buffer)
{
    const std::size_t silence = silenceFrames(m_options);
    if (m_quietFrames >= silence && !m_woken.exchange(false)) {
        fillSilence(buffer);
        return false;
    }
    const int step = static_cast<int>(buffer.step);
    m_fluid->writeFloat(
        m_synth, static_cast<int>(buffer.frames), buffer.left, 0, step, buffer.right, 0, step);
    const bool quiet = m_fluid->activeVoiceCount(m_synth) == 0 && isQuiet(buffer);
    m_quietFrames = quiet ? m_quietFrames + buffer.frames : 0;
    return m_quietFrames < silence;
}
