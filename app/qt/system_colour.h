#pragma once

#include "window/colour.h"

#include <QColor>

// The colour a 0x00BBGGRR value stands for; system colours (0x80000000 + n) are looked up in the
// platform palette, e.g. 7 (menu text) and 14 (highlighted text).
[[nodiscard]] QColor toQColor(ColorValue colour);
