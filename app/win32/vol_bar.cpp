#include "app/win32/vol_bar.h"

#include <algorithm>

namespace {

constexpr int LineStep = 1;
constexpr int PageStep = 10;
constexpr int WheelLines = 3;

} // namespace

VolBar::VolBar(HWND parent, std::function<void()> changed)
    : m_changed(std::move(changed))
{
    m_hwnd = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0,
        parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    apply(m_range, m_range.minimum);
}

void VolBar::setVbMinimum(std::int16_t value)
{
    apply({ value, m_range.maximum }, vbValue());
}

void VolBar::setVbMaximum(std::int16_t value)
{
    apply({ m_range.minimum, value }, vbValue());
}

void VolBar::setVbValue(std::int16_t value)
{
    apply(m_range, value);
}

// Sets range and value together, the value kept between the two ends, and reports a change of
// the value as the bar reads it.
void VolBar::apply(ScrollRange range, int value)
{
    const std::int16_t before = vbValue();
    m_range = range;
    m_position = m_range.position(value);
    SCROLLINFO info { sizeof(info), SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL, 0, m_range.span(), 0,
        m_position, 0 };
    SetScrollInfo(m_hwnd, SB_CTL, &info, TRUE);
    if (vbValue() != before)
        m_changed();
}

void VolBar::moveTo(int position)
{
    const std::int16_t before = vbValue();
    m_position = std::clamp(position, 0, m_range.span());
    SetScrollPos(m_hwnd, SB_CTL, m_position, TRUE);
    if (vbValue() != before)
        m_changed();
}

void VolBar::scrolled(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        return moveTo(m_position - LineStep);
    case SB_LINEDOWN:
        return moveTo(m_position + LineStep);
    case SB_PAGEUP:
        return moveTo(m_position - PageStep);
    case SB_PAGEDOWN:
        return moveTo(m_position + PageStep);
    case SB_TOP:
        return moveTo(0);
    case SB_BOTTOM:
        return moveTo(m_range.span());
    case SB_THUMBPOSITION:
        return moveTo(HIWORD(wParam));
    default: // SB_THUMBTRACK: the control draws the thumb; the value waits for the let-go
        return;
    }
}

void VolBar::wheel(int delta)
{
    m_wheelRest += delta;
    const int notches = m_wheelRest / WHEEL_DELTA;
    m_wheelRest -= notches * WHEEL_DELTA;
    if (notches != 0)
        moveTo(m_position - notches * WheelLines * LineStep);
}
