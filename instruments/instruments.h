#pragma once

#include "window/controls.h"
#include "window/window_state.h"

#include <cstdint>

// The window's operation `Instruments`: the instrument entry with menu index `menuIndex` (16-135)
// becomes the current program and its family and caption are shown in `Lbl_Instrument_Name`.
// Nothing is sent; any other index is ignored.
void Instruments(WindowState& state, Controls& controls, std::int16_t menuIndex);
