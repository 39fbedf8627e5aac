#include "midi/rtmidi/library_messages.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

namespace {

void silentAlsa(const char*, int, const char*, int, const char*, ...)
{ }
void silentJack(const char*)
{ }

} // namespace

void silenceLibraryMessages()
{
    snd_lib_error_set_handler(&silentAlsa);
    jack_set_error_function(&silentJack);
    jack_set_info_function(&silentJack);
}
