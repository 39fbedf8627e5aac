#include "midi/audio/pipewire_library.h"

#include "midi/audio/shared_library.h"

#include <vector>

const PipeWireLibrary* pipeWireLibrary()
{
    return functionTable<PipeWireLibrary>({ "libpipewire-0.3.so.0" }, [](PipeWireLibrary& f) {
        return std::vector<SharedLibrary::Symbol> {
            { "pw_init", f.init },
            { "pw_properties_new", f.propertiesNew },
            { "pw_thread_loop_new", f.loopNew },
            { "pw_thread_loop_destroy", f.loopDestroy },
            { "pw_thread_loop_start", f.loopStart },
            { "pw_thread_loop_stop", f.loopStop },
            { "pw_thread_loop_lock", f.loopLock },
            { "pw_thread_loop_unlock", f.loopUnlock },
            { "pw_thread_loop_signal", f.loopSignal },
            { "pw_thread_loop_get_loop", f.loopGetLoop },
            { "pw_thread_loop_get_time", f.loopGetTime },
            { "pw_thread_loop_timed_wait_full", f.loopTimedWait },
            { "pw_context_new", f.contextNew },
            { "pw_context_destroy", f.contextDestroy },
            { "pw_context_connect", f.contextConnect },
            { "pw_core_disconnect", f.coreDisconnect },
            { "pw_stream_new", f.streamNew },
            { "pw_stream_destroy", f.streamDestroy },
            { "pw_stream_add_listener", f.streamAddListener },
            { "pw_stream_connect", f.streamConnect },
            { "pw_stream_dequeue_buffer", f.streamDequeueBuffer },
            { "pw_stream_queue_buffer", f.streamQueueBuffer },
            { "pw_stream_set_active", f.streamSetActive },
        };
    });
}
