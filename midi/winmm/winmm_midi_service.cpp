#include "midi/winmm/winmm_midi_service.h"

#include <windows.h>

#include <mmsystem.h>

namespace {

HMIDIOUT handle(void* h)
{
    return static_cast<HMIDIOUT>(h);
}

} // namespace

WinMmMidiService::~WinMmMidiService()
{
    close();
}

// No callback: WinMM never calls into the program.
std::int32_t WinMmMidiService::open(std::int32_t deviceId)
{
    close();
    HMIDIOUT opened = nullptr;
    const MMRESULT rc = midiOutOpen(&opened, static_cast<UINT>(deviceId), 0, 0, CALLBACK_NULL);
    if (rc == MMSYSERR_NOERROR)
        m_handle = opened;
    return static_cast<std::int32_t>(rc);
}

void WinMmMidiService::send(std::uint32_t message)
{
    if (m_handle != nullptr)
        (void)midiOutShortMsg(handle(m_handle), message);
}

void WinMmMidiService::close()
{
    if (m_handle != nullptr)
        (void)midiOutClose(handle(m_handle));
    m_handle = nullptr;
}
