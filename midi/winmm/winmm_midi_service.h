#pragma once

#include "midi/midi_service.h"

// The Windows multimedia MIDI service (winmm.dll): midiOutOpen, midiOutShortMsg, midiOutClose.
// Device 0 is the first output device of the system's list, normally its own General MIDI
// synthesiser. Result codes are WinMM's own (2: no such device).
class WinMmMidiService : public MidiService
{
public:
    WinMmMidiService() = default;
    ~WinMmMidiService() override;
    WinMmMidiService(const WinMmMidiService&) = delete;
    WinMmMidiService& operator=(const WinMmMidiService&) = delete;

    [[nodiscard]] std::int32_t open(std::int32_t deviceId) override;
    void send(std::uint32_t message) override;
    void close() override;

private:
    void* m_handle = nullptr; // HMIDIOUT
};
