#include "midi/audio/musicians_pause.h"
#include "midi/audio/pulse_library.h"
#include "midi/audio/sound_servers.h"

#include <pthread.h>
#include <sched.h>

namespace {

constexpr std::uint8_t channels = 2;
constexpr std::uint32_t frameBytes = channels * sizeof(float);
// FluidSynth's own drivers run at this real-time priority.
constexpr int realTimePriority = 60;
// The stream keeps 25 ms and is asked for more every 2.5 ms, which is also the sink's latency
// (PA_STREAM_EARLY_REQUESTS); PulseAudio 16 reports both in `pactl list sink-inputs` and
// `pactl list sinks`. Every refill passes through the server's main thread, which is not
// real-time: with two busy loops on two cores it stalls for 10-20 ms at times, and a smaller
// buffer, or the server splitting one of 10 ms (PA_STREAM_ADJUST_LATENCY), drops out. A note
// after a silence still sounds within the sink's latency: the buffered silence is flushed and the
// stream refilled.
constexpr double bufferMs = 25.0;
constexpr double refillMs = 2.5;

// The client library's thread renders the synthesiser: where the system allows it, it runs at
// real-time priority, as PipeWire's and JACK's threads do. A refusal leaves it as it is.
void raisePriority()
{
    sched_param parameter {};
    parameter.sched_priority = realTimePriority;
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &parameter);
}

// A PulseAudio playback stream, written from the client library's own thread whenever the server
// asks for more. Corked after a musician's pause of silence; a note flushes the buffered silence
// and uncorks it.
class PulseConnection final : public AudioConnection
{
public:
    PulseConnection(const PulseLibrary& pa, AudioSource& source, const AudioFormat& format)
        : AudioConnection(source, format)
        , m_pa(pa)
        , m_pause(format.pauseFrames())
    { }
    ~PulseConnection() override;

    bool connect() override;
    void wake() override;

private:
    [[nodiscard]] bool waitForContext();
    [[nodiscard]] bool connectStream();
    [[nodiscard]] bool waitForStream();
    void write(std::size_t bytes);
    void cork(bool corked);

    const PulseLibrary& m_pa;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    MusiciansPause m_pause; // with the loop locked
    bool m_priorityTried = false; // loop thread
};

PulseConnection::~PulseConnection()
{
    if (m_loop != nullptr)
        m_pa.mainloopStop(m_loop);
    if (m_stream != nullptr) {
        m_pa.streamDisconnect(m_stream);
        m_pa.streamUnref(m_stream);
    }
    if (m_context != nullptr) {
        m_pa.contextDisconnect(m_context);
        m_pa.contextUnref(m_context);
    }
    if (m_loop != nullptr)
        m_pa.mainloopFree(m_loop);
}

bool PulseConnection::connect()
{
    m_loop = m_pa.mainloopNew();
    if (m_loop == nullptr)
        return false;
    m_context = m_pa.contextNew(m_pa.mainloopApi(m_loop), m_format.name.c_str());
    if (m_context == nullptr)
        return false;
    m_pa.contextSetStateCallback(
        m_context,
        [](pa_context* context, void* self) {
            auto* pulse = static_cast<PulseConnection*>(self);
            if (!PA_CONTEXT_IS_GOOD(pulse->m_pa.contextState(context)))
                pulse->lose();
            pulse->m_pa.mainloopSignal(pulse->m_loop, 0);
        },
        this);
    // Never spawns a server: that is for the desktop to do.
    if (m_pa.contextConnect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0
        || m_pa.mainloopStart(m_loop) < 0)
        return false;
    m_pa.mainloopLock(m_loop);
    const bool connected = waitForContext() && connectStream() && waitForStream();
    m_pa.mainloopUnlock(m_loop);
    return connected;
}

// With the loop locked, as the functions below.
bool PulseConnection::waitForContext()
{
    pa_context_state_t state;
    while ((state = m_pa.contextState(m_context)) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        m_pa.mainloopWait(m_loop);
    }
    return true;
}

bool PulseConnection::connectStream()
{
    const pa_sample_spec sampleFormat { PA_SAMPLE_FLOAT32NE,
        static_cast<std::uint32_t>(m_format.sampleRate), channels };
    m_stream = m_pa.streamNew(m_context, m_format.name.c_str(), &sampleFormat, nullptr);
    if (m_stream == nullptr)
        return false;
    m_pa.streamSetStateCallback(
        m_stream,
        [](pa_stream* stream, void* self) {
            auto* pulse = static_cast<PulseConnection*>(self);
            if (!PA_STREAM_IS_GOOD(pulse->m_pa.streamState(stream)))
                pulse->lose();
            pulse->m_pa.mainloopSignal(pulse->m_loop, 0);
        },
        this);
    m_pa.streamSetWriteCallback(
        m_stream,
        [](pa_stream*, std::size_t bytes, void* self) {
            static_cast<PulseConnection*>(self)->write(bytes);
        },
        this);
    const auto bytes = [this](double ms) {
        return static_cast<std::uint32_t>(ms * m_format.sampleRate / 1000) * frameBytes;
    };
    const std::uint32_t serverDefault = std::uint32_t(-1);
    const pa_buffer_attr attr { serverDefault, bytes(bufferMs), serverDefault, bytes(refillMs),
        serverDefault };
    return m_pa.streamConnectPlayback(
               m_stream, nullptr, &attr, PA_STREAM_EARLY_REQUESTS, nullptr, nullptr)
        == 0;
}

bool PulseConnection::waitForStream()
{
    pa_stream_state_t state;
    while ((state = m_pa.streamState(m_stream)) != PA_STREAM_READY) {
        if (!PA_STREAM_IS_GOOD(state))
            return false;
        m_pa.mainloopWait(m_loop);
    }
    return true;
}

void PulseConnection::write(std::size_t bytes)
{
    if (!m_priorityTried) {
        m_priorityTried = true;
        raisePriority();
    }
    void* data = nullptr;
    std::size_t size = bytes;
    if (m_pa.streamBeginWrite(m_stream, &data, &size) < 0 || data == nullptr)
        return;
    auto* samples = static_cast<float*>(data);
    const std::size_t frames = size / frameBytes;
    const MusiciansPause::Block block = m_pause.play(frames, [&] {
        return render({ samples, samples + 1, frames, channels });
    });
    m_pa.streamWrite(m_stream, data, frames * frameBytes, nullptr, 0, PA_SEEK_RELATIVE);
    if (block.pause && m_pause.pause(block))
        cork(true);
}

void PulseConnection::cork(bool corked)
{
    if (pa_operation* operation = m_pa.streamCork(m_stream, corked ? 1 : 0, nullptr, nullptr))
        m_pa.operationUnref(operation);
}

// The buffered silence would otherwise play before the note. The source writes silence only
// after 0.1 s without sound, longer than the buffer: nothing audible is flushed.
void PulseConnection::wake()
{
    m_pa.mainloopLock(m_loop);
    const MusiciansPause::Wake wake = m_pause.wake();
    if (wake.flush) {
        if (pa_operation* operation = m_pa.streamFlush(m_stream, nullptr, nullptr))
            m_pa.operationUnref(operation);
    }
    if (wake.resume)
        cork(false);
    m_pa.mainloopUnlock(m_loop);
}

} // namespace

std::shared_ptr<AudioConnection> makePulseAudioConnection(
    AudioSource& source, const AudioFormat& format)
{
    const PulseLibrary* pa = pulseLibrary();
    return pa != nullptr ? std::make_shared<PulseConnection>(*pa, source, format) : nullptr;
}
