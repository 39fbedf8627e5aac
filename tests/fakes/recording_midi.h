#pragma once

#include "app/window_manager.h"
#include "midi/midi_service.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A MIDI service that logs what the port asks of it to `log`, a message sent as its bytes in hex,
// status first: "send 98 3C 7F". `openResult` is what open returns.
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
            message >> 8 & 0xFF, message >> 16);
        log->push_back(bytes);
    }
    void close() override { log->push_back("close"); }

    std::int32_t openResult = 0;
    std::vector<std::string> calls;
    std::vector<std::string>* log = &calls;
};

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
