// A stand-in for winmm.dll in the Windows program's tests, loaded in place of the system's
// (WINEDLLOVERRIDES=winmm=n,b): the three MIDI output calls, each written as a line to the file
// that NOLVEX_WINMM_LOG names: "open D", "send B0 B1 B2 B3" (the packed message's bytes, least
// significant first), "close". An open returns the code that NOLVEX_WINMM_OPEN_RESULT gives (as
// WinMM's for a device held by another program, 4), 0 without it.
#define _WINMM_
#include <windows.h>

#include <mmsystem.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

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
    wchar_t result[16];
    const MMRESULT rc = GetEnvironmentVariableW(L"NOLVEX_WINMM_OPEN_RESULT", result, 16) > 0
        ? static_cast<MMRESULT>(_wtoi(result))
        : MMSYSERR_NOERROR;
    *out = rc == MMSYSERR_NOERROR ? Handle : nullptr;
    return rc;
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
