#include "midi/audio/pulse_library.h"

#include "midi/audio/shared_library.h"

#include <vector>

const PulseLibrary* pulseLibrary()
{
    return functionTable<PulseLibrary>({ "libpulse.so.0" }, [](PulseLibrary& f) {
        return std::vector<SharedLibrary::Symbol> {
            { "pa_threaded_mainloop_new", f.mainloopNew },
            { "pa_threaded_mainloop_free", f.mainloopFree },
            { "pa_threaded_mainloop_start", f.mainloopStart },
            { "pa_threaded_mainloop_stop", f.mainloopStop },
            { "pa_threaded_mainloop_lock", f.mainloopLock },
            { "pa_threaded_mainloop_unlock", f.mainloopUnlock },
            { "pa_threaded_mainloop_wait", f.mainloopWait },
            { "pa_threaded_mainloop_signal", f.mainloopSignal },
            { "pa_threaded_mainloop_get_api", f.mainloopApi },
            { "pa_context_new", f.contextNew },
            { "pa_context_unref", f.contextUnref },
            { "pa_context_set_state_callback", f.contextSetStateCallback },
            { "pa_context_connect", f.contextConnect },
            { "pa_context_disconnect", f.contextDisconnect },
            { "pa_context_get_state", f.contextState },
            { "pa_stream_new", f.streamNew },
            { "pa_stream_unref", f.streamUnref },
            { "pa_stream_set_state_callback", f.streamSetStateCallback },
            { "pa_stream_set_write_callback", f.streamSetWriteCallback },
            { "pa_stream_connect_playback", f.streamConnectPlayback },
            { "pa_stream_disconnect", f.streamDisconnect },
            { "pa_stream_get_state", f.streamState },
            { "pa_stream_begin_write", f.streamBeginWrite },
            { "pa_stream_write", f.streamWrite },
            { "pa_stream_cork", f.streamCork },
            { "pa_stream_flush", f.streamFlush },
            { "pa_operation_unref", f.operationUnref },
        };
    });
}
