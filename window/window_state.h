#pragma once

#include "window/colour.h"

#include <cstdint>
#include <optional>

// The main window's own fields: the keyboard and port settings. Created zero or empty; start-up
// gives them their values.
struct WindowState
{
    std::int32_t Device_Id = 0; // MIDI output device to open; never changed
    std::int16_t Channel = 0; // MIDI channel, counted from 0
    std::int16_t Program = 0; // General MIDI program, 0-119
    std::int16_t Base_Note = 0; // note of key 0
    std::int16_t Volume = 0; // note-on velocity, 0-127
    std::optional<ColorValue> Saved_Color; // back colour of the key most recently pressed

    bool operator==(const WindowState&) const = default;
};
