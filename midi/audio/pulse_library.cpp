#include "midi/audio/pulse_library.h"

#include "midi/audio/shared_library.h"

#include <optional>

namespace {

std::optional<PulseLibrary> resolveAll(const SharedLibrary& l)
{
    PulseLibrary p {};
    const bool found = l.resolve("pa_threaded_mainloop_new", p.mainloopNew)
        && l.resolve("pa_threaded_mainloop_free", p.mainloopFree)
        && l.resolve("pa_threaded_mainloop_start", p.mainloopStart)
        && l.resolve("pa_threaded_mainloop_stop", p.mainloopStop)
        && l.resolve("pa_threaded_mainloop_lock", p.mainloopLock)
        && l.resolve("pa_threaded_mainloop_unlock", p.mainloopUnlock)
        && l.resolve("pa_threaded_mainloop_wait", p.mainloopWait)
        && l.resolve("pa_threaded_mainloop_signal", p.mainloopSignal)
        && l.resolve("pa_threaded_mainloop_get_api", p.mainloopApi)
        && l.resolve("pa_context_new", p.contextNew)
        && l.resolve("pa_context_unref", p.contextUnref)
        && l.resolve("pa_context_set_state_callback", p.contextSetStateCallback)
        && l.resolve("pa_context_connect", p.contextConnect)
        && l.resolve("pa_context_disconnect", p.contextDisconnect)
        && l.resolve("pa_context_get_state", p.contextState)
        && l.resolve("pa_stream_new", p.streamNew) && l.resolve("pa_stream_unref", p.streamUnref)
        && l.resolve("pa_stream_set_state_callback", p.streamSetStateCallback)
        && l.resolve("pa_stream_set_write_callback", p.streamSetWriteCallback)
        && l.resolve("pa_stream_connect_playback", p.streamConnectPlayback)
        && l.resolve("pa_stream_disconnect", p.streamDisconnect)
        && l.resolve("pa_stream_get_state", p.streamState)
        && l.resolve("pa_stream_begin_write", p.streamBeginWrite)
        && l.resolve("pa_stream_write", p.streamWrite) && l.resolve("pa_stream_cork", p.streamCork)
        && l.resolve("pa_stream_flush", p.streamFlush)
        && l.resolve("pa_operation_unref", p.operationUnref);
    if (!found)
        return std::nullopt;
    return p;
}

} // namespace

const PulseLibrary* pulseLibrary()
{
    static const std::optional<PulseLibrary> library = [] {
        const SharedLibrary shared = SharedLibrary::load("libpulse.so.0");
        return shared.isLoaded() ? resolveAll(shared) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}
