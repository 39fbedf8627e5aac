// Measuring probe: a JACK client that timestamps every note on (MIDI input port "midi_in") and
// every sound onset (audio input ports "audio_in_1" and "audio_in_2") with CLOCK_MONOTONIC as it
// arrives, and an X client that injects button presses with XTest, timestamped right before the
// injection. JACK's cycle times come in CLOCK_MONOTONIC_RAW (jackd2 on Linux; the probe checks it)
// and are moved to CLOCK_MONOTONIC by the offset between the two clocks at that moment.
//
//   probe latency midi|audio
//       Registers the MIDI input port or the two audio input ports, prints "ready", then reads
//       commands "X Y COUNT random|staircase" from its standard input: COUNT clicks at screen
//       point (X, Y), each press injected at a chosen time ("lead") before the start of a JACK
//       cycle, the lead drawn at random over one period or set by a staircase that converges on
//       the lead that half of the presses need to make that cycle. One line per click,
//       "click <i> <lead_us> <latency_us or -1> <made_that_cycle 0|1>", then "done".
//   probe startup X Y PROGRAM [ARGS...]
//       Runs PROGRAM and prints "startup <exec to window mapped, us> <exec to first note on, us>":
//       the first X top-level window mapped after the exec, then a press at (X, Y) answered.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

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

enum class Kind : std::uint32_t { NoteOn, Onset };

// One arrival, as the process callback hands it to the main thread.
struct Arrival
{
    Kind kind;
    Nanos arrived; // CLOCK_MONOTONIC at the start of the process callback
    Nanos cycleStart; // JACK's start of that cycle, same clock
};

// Silence that must come before a sample counts as an onset, and the level that is not silence.
constexpr float onsetLevel = 1.0e-3F;
constexpr jack_nframes_t silentFramesBeforeOnset = 4800;

struct Probe
{
    jack_client_t* client = nullptr;
    jack_port_t* midiIn = nullptr;
    jack_port_t* audioIn[2] {};
    jack_ringbuffer_t* ring = nullptr;
    std::atomic<Nanos> cycleStart { 0 };
    std::atomic<Nanos> period { 0 };
    jack_nframes_t silentRun = 0;

    void push(Kind kind, Nanos arrived, Nanos start)
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

    void scanAudio(jack_nframes_t frames, Nanos arrived, Nanos start)
    {
        const auto* left = static_cast<const float*>(jack_port_get_buffer(audioIn[0], frames));
        const auto* right = static_cast<const float*>(jack_port_get_buffer(audioIn[1], frames));
        for (jack_nframes_t i = 0; i < frames; ++i) {
            const bool loud = std::fabs(left[i]) > onsetLevel || std::fabs(right[i]) > onsetLevel;
            if (loud && silentRun >= silentFramesBeforeOnset)
                push(Kind::Onset, arrived, start);
            silentRun = loud ? 0 : silentRun + 1;
        }
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
            self->scanAudio(frames, arrived, start);
        return 0;
    }

    bool open(bool midi, bool audio)
    {
        client = jack_client_open("bench probe", JackNoStartServer, nullptr);
        if (client == nullptr)
            return false;
        ring = jack_ringbuffer_create(sizeof(Arrival) * 1024);
        if (midi)
            midiIn
                = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        for (int i = 0; audio && i < 2; ++i) {
            const std::string name = "audio_in_" + std::to_string(i + 1);
            audioIn[i] = jack_port_register(
                client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        }
        jack_set_process_callback(client, &Probe::process, this);
        return jack_activate(client) == 0;
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

void clicks(Display* display, Probe& probe, int count, bool staircase, Kind kind)
{
    static std::mt19937 random(20240611);
    const Nanos period = probe.period.load();
    std::uniform_int_distribution<Nanos> anyLead(0, period - 1);
    Nanos lead = 1'000'000;
    constexpr Nanos step = 20'000;
    const Nanos timeout = kind == Kind::NoteOn ? 300'000'000 : 1'000'000'000;
    const Nanos gap = kind == Kind::NoteOn ? 30'000'000 : 1'500'000'000;
    for (int i = 0; i < count; ++i) {
        if (!staircase)
            lead = anyLead(random);
        probe.drain();
        const Shot shot = pressBeforeCycle(display, probe, lead);
        const std::optional<Arrival> a = probe.waitFor(kind, shot.injected, timeout);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        button(display, false);
        const bool made = a && a->cycleStart < shot.targetCycle + period / 2;
        std::printf("click %d %lld %lld %d\n", i, static_cast<long long>(lead / 1000),
            a ? static_cast<long long>((a->arrived - shot.injected) / 1000) : -1LL, made ? 1 : 0);
        std::fflush(stdout);
        if (staircase)
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
        clicks(display, probe, count, std::string(mode) == "staircase", kind);
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
        "usage: probe latency midi|audio   (commands \"X Y COUNT random|staircase\" on stdin)\n"
        "       probe startup X Y PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    const bool audio = mode == "latency" && std::string(argv[2]) == "audio";
    if (mode != "latency" && !(mode == "startup" && argc > 4))
        return usage();
    Display* display = XOpenDisplay(nullptr);
    Probe probe;
    if (display == nullptr || !probe.open(!audio, audio)) {
        std::fprintf(stderr, "probe: needs an X display and a JACK server\n");
        return 1;
    }
    if (!jackClockIsMonotonicRaw()) {
        std::fprintf(stderr, "probe: JACK's clock is not CLOCK_MONOTONIC_RAW\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    int rc = 0;
    if (mode == "latency") {
        rc = latency(display, probe, audio ? Kind::Onset : Kind::NoteOn);
    } else {
        XTestFakeMotionEvent(display, -1, std::atoi(argv[2]), std::atoi(argv[3]), CurrentTime);
        XSync(display, False);
        rc = startup(display, probe, argv + 4);
    }
    jack_client_close(probe.client);
    XCloseDisplay(display);
    return rc;
}
