#include "midi/audio/sound_servers.h"

#include <jack/jack.h>

#include <array>

namespace {

// A JACK client with two output ports, "left" and "right", connected to the first two physical
// playback ports. JACK calls it every cycle and cannot pause it: while silent it only writes
// zeros.
class JackConnection final : public AudioConnection
{
public:
    using AudioConnection::AudioConnection;
    ~JackConnection() override
    {
        if (m_client != nullptr)
            jack_client_close(m_client);
    }

    bool connect() override
    {
        // Never starts a server: that is for the user to do.
        m_client = jack_client_open(m_format.name.c_str(), JackNoStartServer, nullptr);
        if (m_client == nullptr)
            return false;
        const std::array names { "left", "right" };
        for (std::size_t i = 0; i < m_ports.size(); ++i) {
            m_ports[i] = jack_port_register(
                m_client, names[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
            if (m_ports[i] == nullptr)
                return false;
        }
        jack_set_process_callback(m_client, &JackConnection::process, this);
        jack_on_shutdown(m_client, &JackConnection::shutdown, this);
        if (jack_activate(m_client) != 0)
            return false;
        connectToPlayback();
        return true;
    }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* jack = static_cast<JackConnection*>(self);
        auto* left = static_cast<float*>(jack_port_get_buffer(jack->m_ports[0], frames));
        auto* right = static_cast<float*>(jack_port_get_buffer(jack->m_ports[1], frames));
        jack->render({ left, right, frames });
        return 0;
    }

    static void shutdown(void* self) { static_cast<JackConnection*>(self)->lose(); }

    // A single playback port gets both channels.
    void connectToPlayback()
    {
        const char** playback = jack_get_ports(
            m_client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
        if (playback == nullptr)
            return;
        for (std::size_t i = 0; i < m_ports.size() && playback[0] != nullptr; ++i) {
            const char* target = i > 0 && playback[1] != nullptr ? playback[1] : playback[0];
            (void)jack_connect(m_client, jack_port_name(m_ports[i]), target);
        }
        jack_free(static_cast<void*>(playback));
    }

    jack_client_t* m_client = nullptr;
    std::array<jack_port_t*, 2> m_ports {};
};

} // namespace

std::shared_ptr<AudioConnection> makeJackConnection(AudioSource& source, const AudioFormat& format)
{
    return std::make_shared<JackConnection>(source, format);
}
