#pragma once

#include <pipewire/pipewire.h>

// The PipeWire client functions that the PipeWire output calls. The library is loaded at run
// time, the first time the synthesiser tries PipeWire: a keyboard that plays to a MIDI port or
// to JACK never maps it (its relocated data alone is 170 kB of private memory).
struct PipeWireLibrary
{
    decltype(&::pw_init) init;
    decltype(&::pw_properties_new) propertiesNew;
    decltype(&::pw_thread_loop_new) loopNew;
    decltype(&::pw_thread_loop_destroy) loopDestroy;
    decltype(&::pw_thread_loop_start) loopStart;
    decltype(&::pw_thread_loop_stop) loopStop;
    decltype(&::pw_thread_loop_lock) loopLock;
    decltype(&::pw_thread_loop_unlock) loopUnlock;
    decltype(&::pw_thread_loop_signal) loopSignal;
    decltype(&::pw_thread_loop_get_loop) loopGetLoop;
    decltype(&::pw_thread_loop_get_time) loopGetTime;
    decltype(&::pw_thread_loop_timed_wait_full) loopTimedWait;
    decltype(&::pw_context_new) contextNew;
    decltype(&::pw_context_destroy) contextDestroy;
    decltype(&::pw_context_connect) contextConnect;
    decltype(&::pw_core_disconnect) coreDisconnect;
    decltype(&::pw_stream_new) streamNew;
    decltype(&::pw_stream_destroy) streamDestroy;
    decltype(&::pw_stream_add_listener) streamAddListener;
    decltype(&::pw_stream_connect) streamConnect;
    decltype(&::pw_stream_dequeue_buffer) streamDequeueBuffer;
    decltype(&::pw_stream_queue_buffer) streamQueueBuffer;
    decltype(&::pw_stream_set_active) streamSetActive;
};

// The functions, loaded on the first call and kept for the life of the process; null when the
// library or one of its functions is missing.
[[nodiscard]] const PipeWireLibrary* pipeWireLibrary();
