#include "midi/rtmidi/library_messages.h"

// WinMM and CoreMIDI print nothing of their own.
void silenceLibraryMessages()
{ }
