#include "midi/audio/pipewire_library.h"

#include "midi/audio/shared_library.h"

#include <optional>

namespace {

std::optional<PipeWireLibrary> resolveAll(const SharedLibrary& l)
{
    PipeWireLibrary p {};
    const bool found = l.resolve("pw_init", p.init)
        && l.resolve("pw_properties_new", p.propertiesNew)
        && l.resolve("pw_thread_loop_new", p.loopNew)
        && l.resolve("pw_thread_loop_destroy", p.loopDestroy)
        && l.resolve("pw_thread_loop_start", p.loopStart)
        && l.resolve("pw_thread_loop_stop", p.loopStop)
        && l.resolve("pw_thread_loop_lock", p.loopLock)
        && l.resolve("pw_thread_loop_unlock", p.loopUnlock)
        && l.resolve("pw_thread_loop_signal", p.loopSignal)
        && l.resolve("pw_thread_loop_get_loop", p.loopGetLoop)
        && l.resolve("pw_thread_loop_get_time", p.loopGetTime)
        && l.resolve("pw_thread_loop_timed_wait_full", p.loopTimedWait)
        && l.resolve("pw_context_new", p.contextNew)
        && l.resolve("pw_context_destroy", p.contextDestroy)
        && l.resolve("pw_context_connect", p.contextConnect)
        && l.resolve("pw_core_disconnect", p.coreDisconnect)
        && l.resolve("pw_stream_new", p.streamNew)
        && l.resolve("pw_stream_destroy", p.streamDestroy)
        && l.resolve("pw_stream_add_listener", p.streamAddListener)
        && l.resolve("pw_stream_connect", p.streamConnect)
        && l.resolve("pw_stream_dequeue_buffer", p.streamDequeueBuffer)
        && l.resolve("pw_stream_queue_buffer", p.streamQueueBuffer)
        && l.resolve("pw_stream_set_active", p.streamSetActive);
    if (!found)
        return std::nullopt;
    return p;
}

} // namespace

const PipeWireLibrary* pipeWireLibrary()
{
    static const std::optional<PipeWireLibrary> library = [] {
        const SharedLibrary shared = SharedLibrary::load("libpipewire-0.3.so.0");
        return shared.isLoaded() ? resolveAll(shared) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}
