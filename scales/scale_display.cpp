#include "scales/scale_display.h"

#include "scales/scale_catalogue.h"
#include "window/menu_bar.h"

namespace {

constexpr int DisplayOffset = 24; // marker of the root Do at octave position 0
constexpr int OctaveStep = 12;
constexpr int MarkerCount = 60; // one per key
constexpr std::int16_t LowestShift = -2;
constexpr std::int16_t HighestShift = 1;

} // namespace

ScaleDisplay::ScaleDisplay(Controls& controls)
    : m_controls(controls)
{ }

void ScaleDisplay::start()
{
    m_state.Root_Note = 0;
    m_state.Root_Name = m_controls.menuCaption(MenuIndex::FirstNote);
    Show_Scale();
}

// Rebuilds the markers and Lbl_note from the state alone; Lbl_gamme is left alone.
void ScaleDisplay::Show_Scale()
{
    const int start = DisplayOffset + m_state.Root_Note + OctaveStep * m_state.Octave_Shift;
    m_state.Degrees.fill(0);
    for (std::int16_t k = 0; k < MarkerCount; ++k)
        m_controls.setMarkerVisible(k, false);

    const ScaleCatalogue::Pattern pattern = Load_Pattern(m_state.Scale_Index, m_state.Root_Note);
    for (std::size_t i = 0; i < pattern.degrees.size(); ++i)
        m_state.Degrees[i + 1] = pattern.degrees[i];

    for (std::size_t i = 1; i <= pattern.degrees.size(); ++i) {
        if (m_state.Degrees[i] == ScaleCatalogue::NoNote)
            continue;
        // A few chords reach below key 0 at the lowest octave position or above key 59 at the
        // highest; that note has no key and is left out, the rest of the chord is still shown.
        const int marker = start + m_state.Degrees[i];
        if (marker >= 0 && marker < MarkerCount)
            m_controls.setMarkerVisible(static_cast<std::int16_t>(marker), true);
    }

    std::string caption = "(" + m_state.Root_Name + ") ";
    caption += pattern.symbol;
    m_controls.setCaption(CaptionLabel::Lbl_note, caption);
}

void ScaleDisplay::gammeChosen(std::int16_t menuIndex)
{
    if (!MenuIndex::isGamme(menuIndex))
        return;
    m_state.Scale_Index = static_cast<std::int16_t>(menuIndex - MenuIndex::FirstGamme);
    Show_Scale();
    m_controls.setCaption(CaptionLabel::Lbl_gamme, m_controls.menuCaption(menuIndex));
}

void ScaleDisplay::noteChosen(std::int16_t menuIndex)
{
    if (!MenuIndex::isNote(menuIndex))
        return;
    m_state.Root_Note = static_cast<std::int16_t>(menuIndex - MenuIndex::FirstNote);
    m_state.Root_Name = m_controls.menuCaption(menuIndex);
    Show_Scale();
}

// At the limits the shift stays put, but the display is still redrawn.
void ScaleDisplay::octaMoinsClicked()
{
    if (m_state.Octave_Shift > LowestShift)
        --m_state.Octave_Shift;
    Show_Scale();
}

void ScaleDisplay::octPlusClicked()
{
    if (m_state.Octave_Shift < HighestShift)
        ++m_state.Octave_Shift;
    Show_Scale();
}

void ScaleDisplay::instrumentNameClicked()
{
    Show_Scale();
}
