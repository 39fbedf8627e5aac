#pragma once

#include "window/scroll_range.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// The velocity bar `vol`: the system's vertical scroll bar control, whose minimum sits at the top
// and may be greater than its maximum (127 at the top, 0 at the bottom). The control's own range
// is the distance from the minimum (ScrollRange). An arrow moves it one step, the trough ten;
// the mouse wheel three steps a notch.
class VolBar
{
public:
    VolBar(HWND parent, std::function<void()> changed);

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    void setVbMinimum(std::int16_t value);
    void setVbMaximum(std::int16_t value);
    void setVbValue(std::int16_t value);
    [[nodiscard]] std::int16_t vbValue() const { return m_range.value(m_position); }

    // The control's WM_VSCROLL: the value changes after an arrow or trough click and when the
    // thumb is let go, not while it is dragged.
    void scrolled(WPARAM wParam);
    // A turn of the mouse wheel over the bar, in WHEEL_DELTA units (positive: away from the user,
    // up the bar).
    void wheel(int delta);

private:
    void apply(ScrollRange range, int value);
    void moveTo(int position);

    HWND m_hwnd = nullptr;
    std::function<void()> m_changed;
    ScrollRange m_range;
    int m_position = 0;
    int m_wheelRest = 0;
};
