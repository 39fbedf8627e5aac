// A stand-in for winmm.dll in the Windows program's tests, loaded in place of the system's
// (WINEDLLOVERRIDES=winmm=n,b): the three MIDI output calls, each written as a line to the file
// that NOLVEX_WINMM_LOG names: "open D", "send B0 B1 B2 B3" (the packed message's bytes, least
// significant first), "close".
#define _WINMM_
#include <windows.h>

#include <mmsystem.h>

#include <cstdarg>
#include <cstdio>

namespace {

const HMIDIOUT Handle = reinterpret_cast<HMIDIOUT>(0x4D49);

void record(const char* format, ...)
{
    wchar_t path[MAX_PATH];
    if (GetEnvironmentVariableW(L"NOLVEX_WINMM_LOG", path, MAX_PATH) == 0)
        return;
    FILE* log = _wfopen(path, L"a");
    if (log == nullptr)
        return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(log, format, arguments);
    va_end(arguments);
    std::fclose(log);
}

} // namespace

extern "C" {

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT out, UINT device, DWORD_PTR, DWORD_PTR, DWORD)
{
    record("open %u\n", device);
    *out = Handle;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutShortMsg(HMIDIOUT out, DWORD message)
{
    if (out != Handle) {
        record("send to a handle never opened\n");
        return MMSYSERR_INVALHANDLE;
    }
    record("send %02X %02X %02X %02X\n", message & 0xFF, message >> 8 & 0xFF, message >> 16 & 0xFF,
        message >> 24);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutClose(HMIDIOUT out)
{
    record(out == Handle ? "close\n" : "close of a handle never opened\n");
    return out == Handle ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}
}
