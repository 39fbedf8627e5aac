#pragma once

#include "app/window_manager.h"
#include "keyboard/keyboard.h"
#include "midi/midi_port.h"
#include "scales/scale_display.h"
#include "window/controls.h"
#include "window/window_definition.h"
#include "window/window_state.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The main window `Kelvora` without its widgets: its state and the handler of every event of its
// controls. The widget layer forwards events here and implements `Controls`.
class Kelvora
{
public:
    Kelvora(Controls& controls, MidiService& midi, WindowManager& windowManager);

    // Load: markers hidden, window shown and kept on top, MIDI port opened, keyboard, scale
    // display and velocity bar given their start values.
    void load();
    // Unload: note off for keys still held, then the port closes.
    void unload();

    void keyDown(std::int16_t key) { m_keyboard.keyDown(key); }
    void keyUp(std::int16_t key) { m_keyboard.keyUp(key); }
    // Touch point `finger` went down on key `key`, or was lifted; a lift releases the key the
    // finger went down on.
    void fingerDown(int finger, std::int16_t key) { m_keyboard.fingerDown(finger, key); }
    void fingerUp(int finger) { m_keyboard.fingerUp(finger); }
    // The touch sequence was cancelled (the system took the touches, the touchscreen went
    // away): no lift will come, so every key that fingers hold is released now.
    void touchCancelled() { m_keyboard.releaseFingers(); }
    // The window lost the pointer while buttons or fingers may be down on keys (hidden, unmapped,
    // its grab taken): no release will come, so every held key is released now.
    void pointerLost() { m_keyboard.releaseAllKeys(); }
    // A menu entry was chosen, or a control clicked or changed (named as in the window
    // definition): what runs, if anything, the window definition says.
    void chosen(std::int16_t menuIndex);
    void clicked(std::string_view control);
    void changed(std::string_view control);

    // Puts window `hwnd` in the topmost band without moving or resizing it; non-zero on success.
    std::int32_t AuSommet(NativeHandle hwnd);
    void Instruments(std::int16_t menuIndex);
    void Open_Midi_Out();

    [[nodiscard]] const WindowState& state() const { return m_state; }
    [[nodiscard]] const ScaleDisplay& scaleDisplay() const { return m_scaleDisplay; }
    [[nodiscard]] MidiPort::State portState() const { return m_port.state(); }

private:
    void run(std::optional<WindowDefinition::Behaviour> behaviour, std::int16_t menuIndex = -1);

    Controls& m_controls;
    WindowManager& m_windowManager;
    WindowState m_state;
    MidiPort m_port;
    Keyboard m_keyboard;
    ScaleDisplay m_scaleDisplay;
};
