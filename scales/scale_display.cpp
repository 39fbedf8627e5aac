#include "scales/scale_display.h"

ScaleDisplay::ScaleDisplay(Controls& controls)
    : m_controls(controls)
{ }
