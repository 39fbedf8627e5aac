#pragma once

#include "scales/scale_display.h"
#include "tests/fakes/recording_controls.h"

#include <vector>

// A scale display after start-up, driven through its handlers as the menus and labels would.
struct StartedDisplay
{
    RecordingControls controls;
    ScaleDisplay display { controls };

    StartedDisplay()
    {
        display.start();
        controls.log.clear();
    }
    void chooseGamme(int scaleIndex)
    {
        display.gammeChosen(static_cast<std::int16_t>(136 + scaleIndex));
    }
    void chooseRoot(int rootNote) { display.noteChosen(static_cast<std::int16_t>(153 + rootNote)); }
    void shiftOctave(int steps)
    {
        for (; steps < 0; ++steps)
            display.octaMoinsClicked();
        for (; steps > 0; --steps)
            display.octPlusClicked();
    }
    std::vector<int> markers() const { return controls.visibleMarkers(); }
    std::string note() const { return controls.caption(CaptionLabel::Lbl_note); }
    std::string gamme() const { return controls.caption(CaptionLabel::Lbl_gamme); }
};
