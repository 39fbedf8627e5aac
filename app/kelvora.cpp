#include "app/kelvora.h"

#include "instruments/instruments.h"
#include "window/menu_bar.h"

#include <string>

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

void Kelvora::menuChosen(std::int16_t menuIndex)
{
    if (MenuIndex::isInstrument(menuIndex))
        Instruments(menuIndex);
    else if (MenuIndex::isGamme(menuIndex))
        m_scaleDisplay.gammeChosen(menuIndex);
    else if (MenuIndex::isNote(menuIndex))
        m_scaleDisplay.noteChosen(menuIndex);
}

void Kelvora::labelClicked(ClickLabel label)
{
    switch (label) {
    case ClickLabel::Lbl_OctaMoins:
        m_scaleDisplay.octaMoinsClicked();
        break;
    case ClickLabel::Lbl_OctPlus:
        m_scaleDisplay.octPlusClicked();
        break;
    case ClickLabel::Lbl_Instrument_Name:
        m_scaleDisplay.instrumentNameClicked();
        break;
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
