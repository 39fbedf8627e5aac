#pragma once

#include <algorithm>
#include <cstdint>

// The range of a scroll bar as the program sets it: `minimum` at the top end, `maximum` at the
// bottom, either of them the greater (the velocity bar runs from 127 at the top to 0 at the
// bottom). A window system's own scroll bar needs its minimum below its maximum, so it shows the
// distance from `minimum`: positions 0 to span().
struct ScrollRange
{
    std::int16_t minimum = 0;
    std::int16_t maximum = 32767;

    [[nodiscard]] constexpr int span() const
    {
        return maximum >= minimum ? maximum - minimum : minimum - maximum;
    }
    [[nodiscard]] constexpr std::int16_t value(int position) const
    {
        const int step = maximum >= minimum ? 1 : -1;
        return static_cast<std::int16_t>(minimum + step * std::clamp(position, 0, span()));
    }
    // Where `value` stands, pulled inside the range first.
    [[nodiscard]] constexpr int position(int value) const
    {
        const int clamped
            = std::clamp(value, std::min<int>(minimum, maximum), std::max<int>(minimum, maximum));
        return clamped >= minimum ? clamped - minimum : minimum - clamped;
    }
};
