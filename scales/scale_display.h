#pragma once

#include "window/controls.h"

#include <array>
#include <cstdint>
#include <string>

// The scale display: green marker bars on the keys of the chosen scale or chord, the root name
// and chord symbol in `Lbl_note`, the scale name in `Lbl_gamme`, and the two octave labels.
// It plays nothing and touches no keyboard or instrument state.
class ScaleDisplay
{
public:
    struct State
    {
        std::int16_t Scale_Index = 0; // 0-16
        std::int16_t Root_Note = 0; // 0-11, semitones above Do
        std::string Root_Name; // caption of the chosen Note entry
        std::int16_t Octave_Shift = 0; // -2 to +1
        std::array<std::int16_t, 9> Degrees {}; // elements 1-7: the current pattern
        bool operator==(const State&) const = default;
    };

    explicit ScaleDisplay(Controls& controls);

    void start(); // start-up: root Do, then Show_Scale
    void Show_Scale();

    void gammeChosen(std::int16_t menuIndex); // 136-152
    void noteChosen(std::int16_t menuIndex); // 153-164
    void octaMoinsClicked();
    void octPlusClicked();
    void instrumentNameClicked();

    [[nodiscard]] const State& state() const { return m_state; }

private:
    Controls& m_controls;
    State m_state;
};
