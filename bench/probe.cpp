// Measuring probe: a JACK client that timestamps every note on (MIDI input port "midi_in") and
// every sound onset and gap (audio input ports "audio_in_1" and "audio_in_2", or a PulseAudio
// recording of a monitor source) with CLOCK_MONOTONIC as it arrives, and an X client that injects
// button presses with XTest, timestamped right before the injection. JACK's cycle times come in
// CLOCK_MONOTONIC_RAW (jackd2 on Linux; the probe checks it for MIDI) and are moved to
// CLOCK_MONOTONIC by the offset between the two clocks at that moment.
//
//   probe latency midi|audio|pulse:SOURCE
//       Registers the MIDI input port or the two audio input ports, or records SOURCE, prints
//       "ready", then reads commands "X Y COUNT random|staircase|hold" from its standard input:
//       COUNT clicks at screen point (X, Y). For MIDI each press is injected at a chosen time
//       ("lead") before the start of a JACK cycle, the lead drawn at random over one period or set
//       by a staircase that converges on the lead that half of the presses need to make that
//       cycle; for sound at a random moment. One line per click, "click <i> <lead_us>
//       <latency_us or -1> <made_that_cycle 0|1> <gaps>", then "done". "hold" holds each key
//       for 2 s and counts the gaps (1 ms or more of silence) from 50 ms after the onset to the
//       release.
//   probe startup X Y PROGRAM [ARGS...]
//       Runs PROGRAM and prints "startup <exec to window mapped, us> <exec to first note on, us>":
//       the first X top-level window mapped after the exec, then a press at (X, Y) answered.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <pulse/simple.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace {

using Nanos = std::int64_t;

Nanos read(clockid_t clock)
{
    timespec ts {};
    clock_gettime(clock, &ts);
    return Nanos { ts.tv_sec } * 1'000'000'000 + ts.tv_nsec;
}

Nanos now()
{
    return read(CLOCK_MONOTONIC);
}

// A time of JACK's clock on CLOCK_MONOTONIC.
Nanos fromJackTime(jack_time_t usecs)
{
    const Nanos offset = now() - read(CLOCK_MONOTONIC_RAW);
    return static_cast<Nanos>(usecs) * 1000 + offset;
}

void sleepUntil(Nanos t)
{
    const Nanos spinFrom = t - 300'000;
    if (const Nanos wait = spinFrom - now(); wait > 0) {
        timespec ts { wait / 1'000'000'000, wait % 1'000'000'000 };
        nanosleep(&ts, nullptr);
    }
    while (now() < t) { }
}

enum class Kind : std::uint32_t { NoteOn, Onset, Gap };

// One arrival, as the process callback or the recording thread hands it to the main thread.
struct Arrival
{
    Kind kind;
    Nanos arrived; // CLOCK_MONOTONIC at the start of the process callback, or when recorded
    Nanos cycleStart; // JACK's start of that cycle, same clock (MIDI only)
};

// Silence that must come before a sample counts as an onset, the level that is not silence, and
// the silence within a sound that counts as a gap (a dropout: a held organ note never falls
// silent for that long).
constexpr float onsetLevel = 1.0e-3F;
constexpr std::uint32_t silentFramesBeforeOnset = 4800;
constexpr std::uint32_t gapFrames = 48;
constexpr int sampleRate = 48000;

// Finds onsets and gaps in a stream of stereo frames.
class LevelWatch
{
public:
    // Calls found(kind, i) for frame i that starts a sound or completes a gap.
    template <typename Found>
    void scan(const float* left, const float* right, std::uint32_t frames, std::uint32_t step,
        Found found)
    {
        for (std::uint32_t i = 0; i < frames; ++i) {
            const bool loud
                = std::fabs(left[i * step]) > onsetLevel || std::fabs(right[i * step]) > onsetLevel;
            if (loud && m_silentRun >= silentFramesBeforeOnset)
                found(Kind::Onset, i);
            if (!loud && m_silentRun + 1 == gapFrames)
                found(Kind::Gap, i);
            m_silentRun = loud ? 0 : m_silentRun + 1;
        }
    }

private:
    std::uint32_t m_silentRun = silentFramesBeforeOnset; // a sound at the start is an onset
};

struct Probe
{
    jack_client_t* client = nullptr;
    jack_port_t* midiIn = nullptr;
    jack_port_t* audioIn[2] {};
    jack_ringbuffer_t* ring = jack_ringbuffer_create(sizeof(Arrival) * 1024);
    std::atomic<Nanos> cycleStart { 0 };
    std::atomic<Nanos> period { 0 };
    std::atomic<bool> caughtUp { false };
    LevelWatch level;

    void push(Kind kind, Nanos arrived, Nanos start = 0)
    {
        const Arrival a { kind, arrived, start };
        if (jack_ringbuffer_write_space(ring) >= sizeof a)
            jack_ringbuffer_write(ring, reinterpret_cast<const char*>(&a), sizeof a);
    }

    void scanMidi(jack_nframes_t frames, Nanos arrived, Nanos start)
    {
        void* buffer = jack_port_get_buffer(midiIn, frames);
        const std::uint32_t count = jack_midi_get_event_count(buffer);
        for (std::uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, buffer, i) == 0 && e.size == 3
                && (e.buffer[0] & 0xF0) == 0x90 && e.buffer[2] > 0)
                push(Kind::NoteOn, arrived, start);
        }
    }

    void scanAudio(jack_nframes_t frames, Nanos arrived)
    {
        const auto* left = static_cast<const float*>(jack_port_get_buffer(audioIn[0], frames));
        const auto* right = static_cast<const float*>(jack_port_get_buffer(audioIn[1], frames));
        level.scan(left, right, frames, 1, [&](Kind kind, std::uint32_t) { push(kind, arrived); });
    }

    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Probe*>(arg);
        const Nanos arrived = now();
        jack_nframes_t currentFrames = 0;
        jack_time_t currentUsecs = 0;
        jack_time_t nextUsecs = 0;
        float periodUsecs = 0;
        jack_get_cycle_times(self->client, &currentFrames, &currentUsecs, &nextUsecs, &periodUsecs);
        const Nanos start = fromJackTime(currentUsecs);
        self->cycleStart.store(start);
        self->period.store(static_cast<Nanos>(nextUsecs - currentUsecs) * 1000);
        if (self->midiIn != nullptr)
            self->scanMidi(frames, arrived, start);
        if (self->audioIn[0] != nullptr)
            self->scanAudio(frames, arrived);
        return 0;
    }

    bool open(bool midi)
    {
        client = jack_client_open("bench probe", JackNoStartServer, nullptr);
        if (client == nullptr)
            return false;
        if (midi)
            midiIn
                = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        for (int i = 0; !midi && i < 2; ++i) {
            const std::string name = "audio_in_" + std::to_string(i + 1);
            audioIn[i] = jack_port_register(
                client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        }
        jack_set_process_callback(client, &Probe::process, this);
        return jack_activate(client) == 0;
    }

    // Records `source` (a PulseAudio monitor) on a thread of its own. A frame's arrival is the
    // moment it reached the sink: the time it was read, less the recording's latency and the
    // frames read after it. Returns once the recording has caught up with the sink (the server
    // delivers the first half second or so late). The recording asks for 20 ms fragments: a
    // monitor's latency is the sink's too, and a smaller one would lower the latency measured.
    bool record(const std::string& source)
    {
        constexpr std::uint32_t chunk = 64;
        constexpr std::uint32_t fragment = sampleRate / 50 * 8;
        const pa_sample_spec sampleFormat { PA_SAMPLE_FLOAT32LE, sampleRate, 2 };
        const pa_buffer_attr attr { std::uint32_t(-1), 0, 0, 0, fragment };
        pa_simple* pa = pa_simple_new(nullptr, "bench probe", PA_STREAM_RECORD, source.c_str(),
            "probe", &sampleFormat, nullptr, &attr, nullptr);
        if (pa == nullptr)
            return false;
        std::thread([this, pa] {
            float frames[chunk * 2];
            while (pa_simple_read(pa, frames, sizeof frames, nullptr) == 0) {
                const Nanos read = now();
                const Nanos latency = Nanos(pa_simple_get_latency(pa, nullptr)) * 1000;
                caughtUp.store(caughtUp.load() || latency < 20'000'000);
                level.scan(frames, frames + 1, chunk, 2, [&](Kind kind, std::uint32_t i) {
                    push(kind, read - latency - Nanos(chunk - i) * 1'000'000'000 / sampleRate);
                });
            }
        }).detach();
        for (int i = 0; i < 500 && !caughtUp.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return caughtUp.load();
    }

    // Drops everything that arrived so far.
    void drain()
    {
        Arrival a {};
        while (jack_ringbuffer_read_space(ring) >= sizeof a)
            jack_ringbuffer_read(ring, reinterpret_cast<char*>(&a), sizeof a);
    }

    std::optional<Arrival> waitFor(Kind kind, Nanos after, Nanos timeout)
    {
        const Nanos deadline = now() + timeout;
        Arrival a {};
        while (now() < deadline) {
            while (jack_ringbuffer_read_space(ring) >= sizeof a) {
                jack_ringbuffer_read(ring, reinterpret_cast<char*>(&a), sizeof a);
                if (a.kind == kind && a.arrived > after)
                    return a;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return std::nullopt;
    }

    // The gaps that arrived between `from` and `to`, read once the recording has caught up.
    int gapsBetween(Nanos from, Nanos to)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int gaps = 0;
        Arrival a {};
        while (jack_ringbuffer_read_space(ring) >= sizeof a) {
            jack_ringbuffer_read(ring, reinterpret_cast<char*>(&a), sizeof a);
            gaps += a.kind == Kind::Gap && a.arrived > from && a.arrived < to ? 1 : 0;
        }
        return gaps;
    }
};

bool jackClockIsMonotonicRaw()
{
    const Nanos jack = static_cast<Nanos>(jack_get_time()) * 1000;
    return std::llabs(jack - read(CLOCK_MONOTONIC_RAW)) < 1'000'000;
}

void button(Display* display, bool down)
{
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XFlush(display);
}

// A press injected `lead` before the start of a JACK cycle at least 2 ms ahead.
struct Shot
{
    Nanos injected;
    Nanos targetCycle;
};

Shot pressBeforeCycle(Display* display, const Probe& probe, Nanos lead)
{
    const Nanos period = probe.period.load();
    Nanos cycle = probe.cycleStart.load();
    while (cycle - lead < now() + 2'000'000)
        cycle += period;
    sleepUntil(cycle - lead);
    const Nanos injected = now();
    button(display, true);
    return { injected, cycle };
}

enum class Mode { Random, Staircase, Hold };

std::mt19937 random(20240611);

// A press at a random moment within the next 10 ms: sound paths have no cycle the probe can see.
Shot pressAnyTime(Display* display)
{
    sleepUntil(now() + std::uniform_int_distribution<Nanos>(0, 10'000'000)(random));
    const Nanos injected = now();
    button(display, true);
    return { injected, 0 };
}

void clicks(Display* display, Probe& probe, int count, Mode mode, Kind kind)
{
    const Nanos period = probe.period.load();
    Nanos lead = 1'000'000;
    constexpr Nanos step = 20'000;
    const bool midi = kind == Kind::NoteOn;
    const Nanos timeout = midi ? 300'000'000 : 1'000'000'000;
    const Nanos gap = midi ? 30'000'000 : 1'500'000'000;
    for (int i = 0; i < count; ++i) {
        if (midi && mode == Mode::Random)
            lead = std::uniform_int_distribution<Nanos>(0, period - 1)(random);
        probe.drain();
        const Shot shot = midi ? pressBeforeCycle(display, probe, lead) : pressAnyTime(display);
        const std::optional<Arrival> a = probe.waitFor(kind, shot.injected, timeout);
        std::this_thread::sleep_for(std::chrono::milliseconds(mode == Mode::Hold ? 2000 : 20));
        const Nanos released = now();
        button(display, false);
        // From 50 ms after the onset: a note's first cycles, still near silence, are no gap.
        const int gaps
            = a && mode == Mode::Hold ? probe.gapsBetween(a->arrived + 50'000'000, released) : 0;
        const bool made = midi && a && a->cycleStart < shot.targetCycle + period / 2;
        std::printf("click %d %lld %lld %d %d\n", i, static_cast<long long>(lead / 1000),
            a ? static_cast<long long>((a->arrived - shot.injected) / 1000) : -1LL, made ? 1 : 0,
            gaps);
        std::fflush(stdout);
        if (mode == Mode::Staircase)
            lead = std::clamp(made ? lead - step : lead + step, Nanos { 0 }, period);
        std::this_thread::sleep_for(std::chrono::nanoseconds(gap));
    }
}

int latency(Display* display, Probe& probe, Kind kind)
{
    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        int x = 0;
        int y = 0;
        int count = 0;
        char mode[16] = {};
        if (std::sscanf(line, "%d %d %d %15s", &x, &y, &count, mode) != 4)
            return 2;
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
        const std::string name = mode;
        clicks(display, probe, count,
            name == "staircase" ? Mode::Staircase : (name == "hold" ? Mode::Hold : Mode::Random),
            kind);
        std::printf("done\n");
        std::fflush(stdout);
    }
    return 0;
}
bool isTopLevelMapNotify(const XEvent& event, Window root)
{
    return event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect;
}

int startup(Display* display, Probe& probe, char** argv)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);
    probe.drain();
    const Nanos exec = now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    XEvent event;
    do
        XNextEvent(display, &event);
    while (!isTopLevelMapNotify(event, root));
    const Nanos mapped = now();
    button(display, true);
    const std::optional<Arrival> a = probe.waitFor(Kind::NoteOn, exec, 10'000'000'000);
    button(display, false);
    std::printf("startup %lld %lld\n", static_cast<long long>((mapped - exec) / 1000),
        a ? static_cast<long long>((a->arrived - exec) / 1000) : -1LL);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return 0;
}

int usage()
{
    std::fprintf(stderr,
        "usage: probe latency midi|audio|pulse:SOURCE   (commands \"X Y COUNT "
        "random|staircase|hold\" on stdin)\n"
        "       probe startup X Y PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    const std::string input = mode == "latency" ? argv[2] : "midi";
    if (mode != "latency" && !(mode == "startup" && argc > 4))
        return usage();
    Display* display = XOpenDisplay(nullptr);
    Probe probe;
    const bool pulse = input.starts_with("pulse:");
    if (display == nullptr
        || !(pulse ? probe.record(input.substr(6)) : probe.open(input == "midi"))) {
        std::fprintf(stderr, "probe: needs an X display and a JACK or PulseAudio server\n");
        return 1;
    }
    if (input == "midi" && !jackClockIsMonotonicRaw()) {
        std::fprintf(stderr, "probe: JACK's clock is not CLOCK_MONOTONIC_RAW\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    int rc = 0;
    if (mode == "latency") {
        rc = latency(display, probe, input == "midi" ? Kind::NoteOn : Kind::Onset);
    } else {
        XTestFakeMotionEvent(display, -1, std::atoi(argv[2]), std::atoi(argv[3]), CurrentTime);
        XSync(display, False);
        rc = startup(display, probe, argv + 4);
    }
    if (probe.client != nullptr)
        jack_client_close(probe.client);
    XCloseDisplay(display);
    std::_Exit(rc); // the recording thread may still be reading
}
