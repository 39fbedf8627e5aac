#pragma once

#include "app/window_manager.h"
#include "midi/midi_service.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A MIDI service that logs what the port asks of it to `log` (a message sent as its three bytes
// in hex, status first) and keeps the messages sent.
// `openResult` is what open returns.
class RecordingMidi : public MidiService
{
public:
    std::int32_t open(std::int32_t deviceId) override
    {
        log->push_back("open " + std::to_string(deviceId));
        return openResult;
    }
    void send(std::uint32_t message) override
    {
        char bytes[16];
        std::snprintf(bytes, sizeof bytes, "send %02X %02X %02X", message & 0xFF,
            message >> 8 & 0xFF, message >> 16 & 0xFF);
        log->push_back(bytes);
        sent.push_back(message);
    }
    void close() override { log->push_back("close"); }

    std::int32_t openResult = 0;
    std::vector<std::uint32_t> sent;
    std::vector<std::string> calls;
    std::vector<std::string>* log = &calls;
};

// Channel 8 messages as `RecordingMidi::sent` holds them: status byte lowest.
constexpr std::uint32_t programChange(std::uint32_t program)
{
    return 0xC8 | program << 8;
}
constexpr std::uint32_t noteOn(std::uint32_t note, std::uint32_t velocity)
{
    return 0x98 | note << 8 | velocity << 16;
}
constexpr std::uint32_t noteOff(std::uint32_t note)
{
    return 0x88 | note << 8;
}

// A window manager that logs its calls with their arguments and reports success.
class RecordingWindowManager : public WindowManager
{
public:
    std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx,
        int cy, std::uint32_t flags) override
    {
        std::string call = "SetWindowPos";
        for (const long long argument : { (long long)hwnd, (long long)insertAfter, (long long)x,
                 (long long)y, (long long)cx, (long long)cy, (long long)flags })
            call += " " + std::to_string(argument);
        log->push_back(call);
        return 1;
    }
    std::vector<std::string> calls;
    std::vector<std::string>* log = &calls;
};
