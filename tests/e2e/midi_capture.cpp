// A JACK client with one MIDI input port that prints every event it receives, whole, one line per
// event: "<frame time> <hex bytes>", e.g. "123456 98 24 7f"; the frame time counts samples since
// the server started. Lines are flushed as they are written, so a test reads them while the client
// runs. Usage: midi_capture <client name>. It never starts a JACK server and exits on SIGTERM or
// SIGINT or when the server goes away.

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

// One event as the process callback hands it to the printing thread.
struct Record
{
    std::uint32_t time;
    std::uint32_t size;
    unsigned char bytes[64];
};

jack_client_t* g_client = nullptr;
jack_port_t* g_port = nullptr;
jack_ringbuffer_t* g_ring = nullptr;
std::atomic<bool> g_running { true };

int process(jack_nframes_t frames, void*)
{
    void* buffer = jack_port_get_buffer(g_port, frames);
    const jack_nframes_t cycleStart = jack_last_frame_time(g_client);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0)
            continue;
        Record record {};
        record.time = cycleStart + event.time;
        record.size = event.size < sizeof record.bytes ? event.size : sizeof record.bytes;
        std::memcpy(record.bytes, event.buffer, record.size);
        if (jack_ringbuffer_write_space(g_ring) >= sizeof record)
            jack_ringbuffer_write(g_ring, reinterpret_cast<const char*>(&record), sizeof record);
    }
    return 0;
}

void onShutdown(void*)
{
    g_running = false;
}

void onSignal(int)
{
    g_running = false;
}

void printRecord(const Record& record)
{
    std::printf("%u", record.time);
    for (std::uint32_t i = 0; i < record.size; ++i)
        std::printf(" %02x", record.bytes[i]);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: midi_capture <client name>\n");
        return 2;
    }
    jack_status_t status {};
    g_client = jack_client_open(argv[1], JackNoStartServer, &status);
    jack_client_t* client = g_client;
    if (!client) {
        std::fprintf(stderr, "midi_capture: no JACK server (status 0x%x)\n", status);
        return 1;
    }
    g_ring = jack_ringbuffer_create(sizeof(Record) * 4096);
    g_port = jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, nullptr);
    jack_on_shutdown(client, onShutdown, nullptr);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    if (!g_port || jack_activate(client) != 0) {
        std::fprintf(stderr, "midi_capture: cannot activate\n");
        return 1;
    }
    std::printf("ready %s:in\n", jack_get_client_name(client));
    std::fflush(stdout);

    Record record {};
    while (g_running) {
        while (jack_ringbuffer_read_space(g_ring) >= sizeof record) {
            jack_ringbuffer_read(g_ring, reinterpret_cast<char*>(&record), sizeof record);
            printRecord(record);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    jack_deactivate(client);
    while (jack_ringbuffer_read_space(g_ring) >= sizeof record) {
        jack_ringbuffer_read(g_ring, reinterpret_cast<char*>(&record), sizeof record);
        printRecord(record);
    }
    jack_client_close(client);
    jack_ringbuffer_free(g_ring);
    return 0;
}
