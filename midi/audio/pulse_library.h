#pragma once

#include <pulse/pulseaudio.h>

// The PulseAudio client functions that the PulseAudio output calls. The library is loaded at run
// time, the first time the synthesiser tries PulseAudio: it maps ten more libraries, which a
// keyboard that plays to a MIDI port, JACK or PipeWire never needs.
struct PulseLibrary
{
    decltype(&::pa_threaded_mainloop_new) mainloopNew;
    decltype(&::pa_threaded_mainloop_free) mainloopFree;
    decltype(&::pa_threaded_mainloop_start) mainloopStart;
    decltype(&::pa_threaded_mainloop_stop) mainloopStop;
    decltype(&::pa_threaded_mainloop_lock) mainloopLock;
    decltype(&::pa_threaded_mainloop_unlock) mainloopUnlock;
    decltype(&::pa_threaded_mainloop_wait) mainloopWait;
    decltype(&::pa_threaded_mainloop_signal) mainloopSignal;
    decltype(&::pa_threaded_mainloop_get_api) mainloopApi;
    decltype(&::pa_context_new) contextNew;
    decltype(&::pa_context_unref) contextUnref;
    decltype(&::pa_context_set_state_callback) contextSetStateCallback;
    decltype(&::pa_context_connect) contextConnect;
    decltype(&::pa_context_disconnect) contextDisconnect;
    decltype(&::pa_context_get_state) contextState;
    decltype(&::pa_stream_new) streamNew;
    decltype(&::pa_stream_unref) streamUnref;
    decltype(&::pa_stream_set_state_callback) streamSetStateCallback;
    decltype(&::pa_stream_set_write_callback) streamSetWriteCallback;
    decltype(&::pa_stream_connect_playback) streamConnectPlayback;
    decltype(&::pa_stream_disconnect) streamDisconnect;
    decltype(&::pa_stream_get_state) streamState;
    decltype(&::pa_stream_begin_write) streamBeginWrite;
    decltype(&::pa_stream_write) streamWrite;
    decltype(&::pa_stream_cork) streamCork;
    decltype(&::pa_stream_flush) streamFlush;
    decltype(&::pa_operation_unref) operationUnref;
};

// The functions, loaded on the first call and kept for the life of the process; null when the
// library or one of its functions is missing.
[[nodiscard]] const PulseLibrary* pulseLibrary();
