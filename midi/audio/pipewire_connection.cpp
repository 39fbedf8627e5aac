#include "midi/audio/musicians_pause.h"
#include "midi/audio/pipewire_library.h"
#include "midi/audio/sound_servers.h"
#include "midi/service_call.h"

#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

namespace {

constexpr std::uint32_t channels = 2;
constexpr std::uint32_t frameBytes = channels * sizeof(float);

// A PipeWire playback stream, rendered in the stream's real-time process callback so that a
// cycle's samples leave in that cycle. It asks for `AudioFormat::quantum` frames (node.latency);
// the graph keeps the smallest quantum that its nodes ask for, within its own limits. After a
// musician's pause of silence the stream is inactive and the graph does not wake it.
class PipeWireConnection final : public AudioConnection
{
public:
    PipeWireConnection(const PipeWireLibrary& pw, AudioSource& source, const AudioFormat& format)
        : AudioConnection(source, format)
        , m_pw(pw)
        , m_pause(format.pauseFrames())
    { }
    ~PipeWireConnection() override;

    bool connect() override;
    void wake() override;

private:
    [[nodiscard]] bool connectStream();
    [[nodiscard]] bool waitForStream();
    void process();
    static int pause(spa_loop*, bool, std::uint32_t, const void*, std::size_t, void* self);

    const PipeWireLibrary& m_pw;
    pw_thread_loop* m_loop = nullptr;
    pw_context* m_context = nullptr;
    pw_core* m_core = nullptr;
    pw_stream* m_stream = nullptr;
    spa_hook m_coreListener {};
    spa_hook m_streamListener {};
    pw_stream_state m_state = PW_STREAM_STATE_UNCONNECTED; // loop thread
    MusiciansPause m_pause; // pause() and wake() with the loop locked
};

pw_properties* streamProperties(const PipeWireLibrary& pw, const AudioFormat& format)
{
    const std::string latency = std::to_string(format.quantum) + "/"
        + std::to_string(static_cast<int>(format.sampleRate));
    return pw.propertiesNew(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
        PW_KEY_MEDIA_ROLE, "Music", PW_KEY_NODE_NAME, format.name.c_str(), PW_KEY_MEDIA_NAME,
        format.name.c_str(), PW_KEY_APP_NAME, format.name.c_str(), PW_KEY_NODE_LATENCY,
        latency.c_str(), nullptr);
}

PipeWireConnection::~PipeWireConnection()
{
    if (m_loop != nullptr)
        m_pw.loopStop(m_loop);
    if (m_stream != nullptr)
        m_pw.streamDestroy(m_stream);
    if (m_core != nullptr)
        m_pw.coreDisconnect(m_core);
    if (m_context != nullptr)
        m_pw.contextDestroy(m_context);
    if (m_loop != nullptr)
        m_pw.loopDestroy(m_loop);
}

bool PipeWireConnection::connect()
{
    static std::once_flag initialised;
    std::call_once(initialised, [this] { m_pw.init(nullptr, nullptr); });
    m_loop = m_pw.loopNew("nolvex-audio", nullptr);
    if (m_loop == nullptr)
        return false;
    // client-rt.conf: the stream's thread gets real-time priority where the desktop allows it
    // (RTKit, or a real-time limit), as other audio programs' do.
    m_context = m_pw.contextNew(m_pw.loopGetLoop(m_loop),
        m_pw.propertiesNew(
            PW_KEY_CONFIG_NAME, "client-rt.conf", PW_KEY_APP_NAME, m_format.name.c_str(), nullptr),
        0);
    if (m_context == nullptr || m_pw.loopStart(m_loop) != 0)
        return false;
    m_pw.loopLock(m_loop);
    const bool connected = connectStream() && waitForStream();
    m_pw.loopUnlock(m_loop);
    return connected;
}

// With the loop locked. No daemon: no core.
bool PipeWireConnection::connectStream()
{
    m_core = m_pw.contextConnect(m_context, nullptr, 0);
    if (m_core == nullptr)
        return false;
    // The daemon went away (-EPIPE) or refused the client.
    static const pw_core_events coreEvents = [] {
        pw_core_events e {};
        e.version = PW_VERSION_CORE_EVENTS;
        e.error = [](void* self, std::uint32_t id, int, int, const char*) {
            auto* pipeWire = static_cast<PipeWireConnection*>(self);
            if (id == PW_ID_CORE)
                pipeWire->lose();
            pipeWire->m_pw.loopSignal(pipeWire->m_loop, false);
        };
        return e;
    }();
    pw_core_add_listener(m_core, &m_coreListener, &coreEvents, this);
    m_stream = m_pw.streamNew(m_core, m_format.name.c_str(), streamProperties(m_pw, m_format));
    if (m_stream == nullptr)
        return false;
    static const pw_stream_events events = [] {
        pw_stream_events e {};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = [](void* self, pw_stream_state, pw_stream_state state, const char*) {
            auto* pipeWire = static_cast<PipeWireConnection*>(self);
            pipeWire->m_state = state;
            if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED)
                pipeWire->lose();
            pipeWire->m_pw.loopSignal(pipeWire->m_loop, false);
        };
        e.process = [](void* self) { static_cast<PipeWireConnection*>(self)->process(); };
        return e;
    }();
    m_pw.streamAddListener(m_stream, &m_streamListener, &events, this);

    std::array<std::uint8_t, 1024> buffer {};
    spa_pod_builder builder {};
    spa_pod_builder_init(&builder, buffer.data(), buffer.size());
    spa_audio_info_raw info {};
    info.format = SPA_AUDIO_FORMAT_F32;
    info.rate = static_cast<std::uint32_t>(m_format.sampleRate);
    info.channels = channels;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[] { spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info) };
    const auto flags = static_cast<pw_stream_flags>(
        PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    return m_pw.streamConnect(m_stream, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1) == 0;
}

// With the loop locked: until the stream is linked, fails or the time is up.
bool PipeWireConnection::waitForStream()
{
    const auto limit = std::chrono::nanoseconds(ServiceCall::AnswerTime).count();
    timespec deadline {};
    m_pw.loopGetTime(m_loop, &deadline, limit);
    while (m_state != PW_STREAM_STATE_PAUSED && m_state != PW_STREAM_STATE_STREAMING && !isLost()) {
        if (m_pw.loopTimedWait(m_loop, &deadline) != 0)
            return false;
    }
    return !isLost();
}

void PipeWireConnection::process()
{
    pw_buffer* buffer = m_pw.streamDequeueBuffer(m_stream);
    if (buffer == nullptr)
        return;
    spa_data& data = buffer->buffer->datas[0];
    auto* samples = static_cast<float*>(data.data);
    if (samples == nullptr)
        return;
    std::uint32_t frames = data.maxsize / frameBytes;
    if (buffer->requested != 0)
        frames = std::min<std::uint32_t>(frames, static_cast<std::uint32_t>(buffer->requested));
    const MusiciansPause::Block block = m_pause.play(frames, [&] {
        return render({ samples, samples + 1, frames, channels });
    });
    data.chunk->offset = 0;
    data.chunk->stride = frameBytes;
    data.chunk->size = frames * frameBytes;
    m_pw.streamQueueBuffer(m_stream, buffer);
    // The stream is paused on the loop thread, which gets a copy of the block; this one is
    // real-time.
    if (block.pause)
        pw_loop_invoke(m_pw.loopGetLoop(m_loop), &PipeWireConnection::pause, 0, &block,
            sizeof block, false, this);
}

// On the loop thread, with the loop locked. The loop's copy of the block may sit anywhere.
int PipeWireConnection::pause(
    spa_loop*, bool, std::uint32_t, const void* data, std::size_t, void* self)
{
    auto* pipeWire = static_cast<PipeWireConnection*>(self);
    MusiciansPause::Block block;
    std::memcpy(&block, data, sizeof block);
    if (pipeWire->m_pause.pause(block))
        pipeWire->m_pw.streamSetActive(pipeWire->m_stream, false);
    return 0;
}

void PipeWireConnection::wake()
{
    m_pw.loopLock(m_loop);
    if (m_pause.wake().resume)
        m_pw.streamSetActive(m_stream, true);
    m_pw.loopUnlock(m_loop);
}

} // namespace

std::shared_ptr<AudioConnection> makePipeWireConnection(
    AudioSource& source, const AudioFormat& format)
{
    const PipeWireLibrary* pw = pipeWireLibrary();
    return pw != nullptr ? std::make_shared<PipeWireConnection>(*pw, source, format) : nullptr;
}
