#include "keyboard/keyboard.h"

#include "midi/short_message.h"

Keyboard::Keyboard(WindowState& state, Controls& controls, MidiPort& port)
    : m_state(state)
    , m_controls(controls)
    , m_port(port)
{ }

void Keyboard::Play_Key(std::int16_t index)
{
    m_port.send(ShortMessage::programChange(m_state.Channel, m_state.Program));
    const auto note = static_cast<std::int16_t>(m_state.Base_Note + index);
    m_port.send(ShortMessage::noteOn(m_state.Channel, note, m_state.Volume));
}

void Keyboard::Release_Key(std::int16_t index)
{
    m_controls.setKeyUnset(index);
    const auto note = static_cast<std::int16_t>(m_state.Base_Note + index);
    m_port.send(ShortMessage::noteOff(m_state.Channel, note));
}

void Keyboard::keyDown(std::int16_t index)
{
    if (!isKey(index))
        return;
    Play_Key(index);
    // A second button on a held key finds it green already: its own colour was saved by the
    // first button, and saving green over it would keep the key green for good.
    if (m_held[index]++ == 0) {
        m_state.Saved_Color = m_controls.keyBackColor(index);
        m_ownColour[index] = m_state.Saved_Color;
    }
    m_controls.setKeyBackColor(index, Colour::Green);
}

void Keyboard::keyUp(std::int16_t index)
{
    // A release without its press (its buttons were let go of already, when the window lost the
    // pointer) sends nothing: the note it would end has ended.
    if (!isKey(index) || m_held[index] == 0)
        return;
    Release_Key(index);
    // Each key gets back the colour it had before its own press, also when another key was
    // pressed in between and `Saved_Color` now holds that key's colour.
    m_controls.setKeyBackColor(index, m_ownColour[index].value_or(0));
    if (--m_held[index] == 0)
        m_ownColour[index].reset();
}

void Keyboard::fingerDown(int finger, std::int16_t index)
{
    if (!isKey(index))
        return;
    // The same id down again means its lift never came: that finger has gone.
    fingerUp(finger);
    m_fingers[finger] = index;
    keyDown(index);
}

void Keyboard::fingerUp(int finger)
{
    const auto held = m_fingers.find(finger);
    if (held == m_fingers.end())
        return;
    const std::int16_t index = held->second;
    m_fingers.erase(held);
    keyUp(index);
}

void Keyboard::releaseFingers()
{
    while (!m_fingers.empty())
        fingerUp(m_fingers.begin()->first);
}

void Keyboard::volChanged()
{
    m_state.Volume = m_controls.volValue();
}

void Keyboard::releaseAllKeys()
{
    for (std::int16_t i = 0; i < KeyCount; ++i)
        while (m_held[i] > 0)
            keyUp(i);
    // The fingers' keys are released: their lifts, should they come, send nothing.
    m_fingers.clear();
}
