#include "app/kelvora.h"

#include "instruments/instruments.h"
#include "window/menu_bar.h"

#include <string>

using namespace WindowDefinition;

Kelvora::Kelvora(Controls& controls, MidiService& midi, WindowManager& windowManager)
    : m_controls(controls)
    , m_windowManager(windowManager)
    , m_port(midi)
    , m_keyboard(m_state, controls, m_port)
    , m_scaleDisplay(controls)
{ }

void Kelvora::load()
{
    for (std::int16_t i = 0; i < Keyboard::KeyCount; ++i)
        m_controls.setMarkerVisible(i, false);
    m_controls.show();
    (void)AuSommet(m_controls.nativeHandle());
    Open_Midi_Out();

    m_state.Channel = 8;
    m_state.Program = 0;
    m_state.Base_Note = 36;

    m_scaleDisplay.start();

    m_state.Volume = 127;
    m_controls.setVolMin(127);
    m_controls.setVolMax(0);
    m_controls.setVolValue(m_state.Volume);
}

void Kelvora::unload()
{
    m_keyboard.releaseAllKeys();
    m_port.close();
}

void Kelvora::chosen(std::int16_t menuIndex)
{
    if (const MenuIndex::MenuArray* array = MenuIndex::arrayOf(menuIndex))
        run(behaviour(array->name, Event::Chosen), menuIndex);
}

void Kelvora::clicked(std::string_view control)
{
    run(behaviour(control, Event::Click));
}

void Kelvora::changed(std::string_view control)
{
    run(behaviour(control, Event::Change));
}

// The behaviours that a menu choice, a click or a change can run; load, unload and the keys'
// presses and releases have entries of their own.
void Kelvora::run(std::optional<Behaviour> behaviour, std::int16_t menuIndex)
{
    if (!behaviour)
        return;
    switch (*behaviour) {
    case Behaviour::Instruments:
        return Instruments(menuIndex);
    case Behaviour::ScaleChosen:
        return m_scaleDisplay.gammeChosen(menuIndex);
    case Behaviour::RootChosen:
        return m_scaleDisplay.noteChosen(menuIndex);
    case Behaviour::OctaveDown:
        return m_scaleDisplay.octaMoinsClicked();
    case Behaviour::OctaveUp:
        return m_scaleDisplay.octPlusClicked();
    case Behaviour::RedrawScale:
        return m_scaleDisplay.instrumentNameClicked();
    case Behaviour::VelocityFromBar:
        return m_keyboard.volChanged();
    default:
        return;
    }
}

std::int32_t Kelvora::AuSommet(NativeHandle hwnd)
{
    return m_windowManager.SetWindowPos(hwnd, WindowManager::HwndTopmost, 0, 0, 0, 0,
        WindowManager::SwpNoSize | WindowManager::SwpNoMove);
}

void Kelvora::Instruments(std::int16_t menuIndex)
{
    ::Instruments(m_state, m_controls, menuIndex);
}

void Kelvora::Open_Midi_Out()
{
    const std::int32_t rc = m_port.open(m_state.Device_Id);
    if (rc != 0)
        m_controls.messageBox("Couldn't open midi out, rc = " + std::to_string(rc));
}
