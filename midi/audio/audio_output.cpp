#include "midi/audio/audio_output.h"

#include "midi/service_call.h"

#include <mutex>
#include <vector>

namespace {

// Releases a connection on a call of its own. While its service is stuck the connection is kept
// for the rest of the process instead: releasing it would call into the stuck client library.
void release(const std::string& service, std::shared_ptr<AudioConnection> connection)
{
    connection->setPlaying(false);
    if (ServiceCall::isStuck(service)) {
        static std::mutex mutex;
        static std::vector<std::shared_ptr<AudioConnection>> kept;
        const std::lock_guard lock(mutex);
        kept.push_back(std::move(connection));
        return;
    }
    (void)ServiceCall::run<bool>(service, [connection = std::move(connection)]() mutable {
        connection.reset();
        return true;
    });
}

} // namespace

void fillSilence(const StereoBuffer& buffer)
{
    for (std::size_t i = 0; i < buffer.frames * buffer.step; i += buffer.step)
        buffer.left[i] = buffer.right[i] = 0.0F;
}

AudioConnection::AudioConnection(AudioSource& source, AudioFormat format)
    : m_format(std::move(format))
    , m_source(source)
{ }

bool AudioConnection::render(const StereoBuffer& buffer)
{
    if (m_playing.load())
        return m_source.render(buffer);
    fillSilence(buffer);
    return false;
}

std::unique_ptr<AudioOutput> AudioOutput::open(
    const AudioOutputKind& kind, AudioSource& source, const AudioFormat& format)
{
    std::shared_ptr<AudioConnection> connection = kind.make(source, format);
    if (!connection)
        return nullptr;
    const std::optional<bool> connected
        = ServiceCall::run<bool>(kind.service, [connection] { return connection->connect(); });
    if (!connected.value_or(false)) {
        release(kind.service, std::move(connection));
        return nullptr;
    }
    connection->setPlaying(true);
    return std::make_unique<AudioOutput>(kind.service, std::move(connection));
}

AudioOutput::AudioOutput(std::string service, std::shared_ptr<AudioConnection> connection)
    : m_service(std::move(service))
    , m_connection(std::move(connection))
{ }

AudioOutput::~AudioOutput()
{
    release(m_service, std::move(m_connection));
}
