#include "midi/quiet_audio_libraries.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

namespace {

void ignoreJackMessage(const char*)
{ }

// ALSA's handler is variadic; the arguments are left unread.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...)
{ }

} // namespace

void quietAudioLibraries()
{
    jack_set_error_function(ignoreJackMessage);
    jack_set_info_function(ignoreJackMessage);
    snd_lib_error_set_handler(ignoreAlsaError);
}
