// The least a program can do between a click and a MIDI note: one Xlib window, one JACK MIDI
// output port, a note on queued for the next JACK cycle on ButtonPress and a note off on
// ButtonRelease, the same way the keyboard's MIDI library queues them. The gap between the
// keyboard's latency and this one is the keyboard's own share.
//   bare_client <JACK input port to connect to>

#include <X11/Xlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <cstdio>

namespace {

jack_port_t* g_out = nullptr;
jack_ringbuffer_t* g_ring = nullptr;

int process(jack_nframes_t frames, void*)
{
    void* buffer = jack_port_get_buffer(g_out, frames);
    jack_midi_clear_buffer(buffer);
    unsigned char message[3];
    while (jack_ringbuffer_read_space(g_ring) >= sizeof message) {
        jack_ringbuffer_read(g_ring, reinterpret_cast<char*>(message), sizeof message);
        jack_midi_event_write(buffer, 0, message, sizeof message);
    }
    return 0;
}

void send(unsigned char status, unsigned char velocity)
{
    const unsigned char message[3] = { status, 60, velocity };
    if (jack_ringbuffer_write_space(g_ring) >= sizeof message)
        jack_ringbuffer_write(g_ring, reinterpret_cast<const char*>(message), sizeof message);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_client <JACK MIDI input port>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    jack_client_t* client = jack_client_open("bench bare client", JackNoStartServer, nullptr);
    if (display == nullptr || client == nullptr) {
        std::fprintf(stderr, "bare_client: needs an X display and a JACK server\n");
        return 1;
    }
    g_ring = jack_ringbuffer_create(4096);
    g_out = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client, process, nullptr);
    if (jack_activate(client) != 0 || jack_connect(client, jack_port_name(g_out), argv[1]) != 0) {
        std::fprintf(stderr, "bare_client: cannot connect to %s\n", argv[1]);
        return 1;
    }

    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 619, 139,
        0, BlackPixel(display, 0), WhitePixel(display, 0));
    XStoreName(display, window, "bench bare client");
    XSelectInput(display, window, ButtonPressMask | ButtonReleaseMask);
    XMapWindow(display, window);
    XFlush(display);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ButtonPress)
            send(0x98, 127);
        else if (event.type == ButtonRelease)
            send(0x88, 0);
    }
}
