#pragma once

#include "app/window_manager.h"
#include "midi/midi_service.h"

#include <cstdint>
#include <string>
#include <vector>

// A MIDI service that records what the port asks of it. `openResult` is what open returns.
class RecordingMidi : public MidiService
{
public:
    std::int32_t open(std::int32_t deviceId) override
    {
        calls.push_back("open " + std::to_string(deviceId));
        isOpen = openResult == 0;
        return openResult;
    }
    void send(std::uint32_t message) override
    {
        calls.push_back("send");
        sent.push_back(message);
    }
    void close() override
    {
        calls.push_back("close");
        isOpen = false;
    }

    std::int32_t openResult = 0;
    bool isOpen = false;
    std::vector<std::uint32_t> sent;
    std::vector<std::string> calls;
};

// A window manager that records SetWindowPos calls and reports success.
class RecordingWindowManager : public WindowManager
{
public:
    struct Call
    {
        NativeHandle hwnd;
        std::intptr_t insertAfter;
        int x, y, cx, cy;
        std::uint32_t flags;
        bool operator==(const Call&) const = default;
    };
    std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx,
        int cy, std::uint32_t flags) override
    {
        calls.push_back({ hwnd, insertAfter, x, y, cx, cy, flags });
        return 1;
    }
    std::vector<Call> calls;
};
