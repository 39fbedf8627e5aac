#pragma once

#include "window/vol_bar_model.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// The velocity bar `vol`: the system's vertical scroll bar control, showing the range and
// position of the bar's model, to which it forwards every move; `changed` runs when the value as
// read changed.
class VolBar
{
public:
    VolBar(HWND parent, VolBarModel& model, std::function<void()> changed);

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    void sync(bool report);

    // The control's WM_VSCROLL: the value changes after an arrow or trough click and when the
    // thumb is let go, not while it is dragged.
    void scrolled(WPARAM wParam);
    // A turn of the mouse wheel over the bar, in WHEEL_DELTA units.
    void wheel(int delta) { sync(m_model.wheel(delta)); }

private:
    HWND m_hwnd = nullptr;
    std::function<void()> m_changed;
    VolBarModel& m_model;
};
