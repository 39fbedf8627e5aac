#pragma once

#include "midi/midi_port.h"
#include "window/controls.h"
#include "window/window_state.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>

// The on-screen piano: presses and releases of the 60 keys become notes on the MIDI port, a
// pressed key turns green, and the velocity bar `vol` sets the velocity of the next notes.
class Keyboard
{
public:
    static constexpr std::int16_t KeyCount = 60;

    Keyboard(WindowState& state, Controls& controls, MidiPort& port);

    // Program change carrying `Program`, then note on for `Base_Note` + index at `Volume`.
    void Play_Key(std::int16_t index);
    // Key back to unset, then note off for `Base_Note` + index.
    void Release_Key(std::int16_t index);

    // A mouse button went down on / came up from key `index`; indices outside 0-59 are ignored.
    void keyDown(std::int16_t index);
    void keyUp(std::int16_t index);
    // A finger (a touch point, told apart by its id) went down on key `index` or was lifted. Each
    // finger plays like a mouse button of its own, and its lift releases the key it went down
    // on, wherever it slid to.
    void fingerDown(int finger, std::int16_t index);
    void fingerUp(int finger);
    // The touch sequence was cancelled: every key that fingers hold is released now.
    void releaseFingers();
    // The velocity bar reported a changed value.
    void volChanged();

    // Every button and finger still down on a key comes up, as if the user had let go of it: note
    // off, the key's own colour back. For when no release will come (the window lost the pointer,
    // or closes).
    void releaseAllKeys();

private:
    static bool isKey(std::int16_t index) { return index >= 0 && index < KeyCount; }

    WindowState& m_state;
    Controls& m_controls;
    MidiPort& m_port;
    // Buttons and fingers held on each key, and the key's own colour, saved when the first of them
    // went down.
    std::array<int, KeyCount> m_held {};
    std::array<std::optional<ColorValue>, KeyCount> m_ownColour {};
    // The key each finger down went down on, by touch point id.
    std::map<int, std::int16_t> m_fingers;
};
