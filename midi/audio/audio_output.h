#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// Stereo frames to fill: left and right samples each `step` floats apart (1: separate channels,
// 2: interleaved).
struct StereoBuffer
{
    float* left;
    float* right;
    std::size_t frames;
    std::size_t step = 1;
};

void fillSilence(const StereoBuffer& buffer);

// What an audio output plays: samples rendered on demand, on the output's own audio thread.
class AudioSource
{
public:
    virtual ~AudioSource() = default;
    // Fills `buffer`; true when it sounds. Silence comes only once the sound has died away (its
    // reverb's tail too), and lasts until the next note.
    virtual bool render(const StereoBuffer& buffer) = 0;
};

// How the synthesiser asks to be played.
struct AudioFormat
{
    double sampleRate = 48000.0;
    // Frames per cycle asked of the server, where the output chooses it.
    int quantum = 128;
    // The name in the sound server's connection tools: client, node, stream and application.
    std::string name;
    // How long an output keeps running with nothing to play before it pauses: a rest between
    // phrases must not cost the next note its way back into the sound server's graph (with
    // another program playing, PipeWire lets a resumed stream in only after the graph's current
    // cycle of 1024 frames, 20-40 ms). 5 s is how long the desktop itself waits before it
    // suspends an idle sink (WirePlumber's session.suspend-timeout-seconds, PulseAudio's
    // module-suspend-on-idle): after that a note pays the sink's wake-up anyway, and running on
    // would only keep the sound card and the server busy for nothing.
    double pauseSeconds = 5.0;

    [[nodiscard]] std::size_t pauseFrames() const
    {
        return static_cast<std::size_t>(pauseSeconds * sampleRate);
    }
};

// One connection to a sound server or a sound card. It is shared with the calls into the server,
// which may outlive its owner when the server does not answer (ServiceCall), and destroyed on
// the thread of the last of them.
class AudioConnection
{
public:
    AudioConnection(AudioSource& source, AudioFormat format);
    virtual ~AudioConnection() = default;
    AudioConnection(const AudioConnection&) = delete;
    AudioConnection& operator=(const AudioConnection&) = delete;

    // Connects and starts playing; may wait for the server. False when it is missing or refuses.
    [[nodiscard]] virtual bool connect() = 0;
    // A note is coming: resumes a paused output. Any thread; never waits for the server.
    virtual void wake() { }
    // The server went away.
    [[nodiscard]] bool isLost() const { return m_lost.load(); }
    // The source is played only while set: a connection whose connect() was given up on must not
    // reach it.
    void setPlaying(bool playing) { m_playing.store(playing); }

protected:
    // For the audio thread: fills `buffer` from the source, or with silence while not playing;
    // true when it sounds. An output that can pause decides with a MusiciansPause.
    bool render(const StereoBuffer& buffer);
    void lose() { m_lost.store(true); }

    const AudioFormat m_format;

private:
    AudioSource& m_source;
    std::atomic<bool> m_playing { false };
    std::atomic<bool> m_lost { false };
};

// A kind of audio output, tried in the synthesiser's order.
struct AudioOutputKind
{
    // Its ServiceCall key: "jack", "pipewire", "pulseaudio", "alsa" or a FluidSynth driver name.
    std::string service;
    std::function<std::shared_ptr<AudioConnection>(AudioSource&, const AudioFormat&)> make;
    // A sound server, tried again when an output is lost. Not a sound card, which would keep the
    // restarting server from it.
    bool server = true;
};

// An open audio output: connecting and releasing go through ServiceCall under the kind's service,
// so a server that does not answer holds the caller ServiceCall::AnswerTime at most.
class AudioOutput
{
public:
    // Nothing when the output cannot play.
    [[nodiscard]] static std::unique_ptr<AudioOutput> open(
        const AudioOutputKind& kind, AudioSource& source, const AudioFormat& format);
    AudioOutput(std::string service, std::shared_ptr<AudioConnection> connection);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void wake() { m_connection->wake(); }
    [[nodiscard]] bool isLost() const { return m_connection->isLost(); }

private:
    std::string m_service;
    std::shared_ptr<AudioConnection> m_connection;
};
