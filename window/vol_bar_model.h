#pragma once

#include "window/controls.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// The velocity bar `vol` as the program reads it, whatever draws it: its range, whose minimum
// sits at the top and may be greater than its maximum (127 at the top, 0 at the bottom), its
// value, and the position a window system's scroll bar shows, 0 at the top to span() (such a bar
// needs its minimum below its maximum). Every change says whether the value as read changed: the
// bar reports a change then, and only then. The window system's bar holds only its position.
class VolBarModel
{
public:
    static constexpr int LineStep = 1; // an arrow
    static constexpr int PageStep = 10; // a click in the trough
    static constexpr int WheelLines = 3; // steps a notch of the mouse wheel
    static constexpr int WheelNotch = 120; // a notch, in the units the wheel reports

    [[nodiscard]] bool setMinimum(std::int16_t value)
    {
        return set(value, m_maximum, this->value());
    }
    [[nodiscard]] bool setMaximum(std::int16_t value)
    {
        return set(m_minimum, value, this->value());
    }
    // Pulled inside the range.
    [[nodiscard]] bool setValue(std::int16_t value) { return set(m_minimum, m_maximum, value); }

    // The thumb let go at `position`, or moved there by an arrow or the trough; pulled inside
    // 0-span().
    [[nodiscard]] bool moveTo(int position)
    {
        const std::int16_t before = value();
        m_position = std::clamp(position, 0, span());
        return value() != before;
    }
    [[nodiscard]] bool step(int steps) { return moveTo(m_position + steps); }
    // A turn of the wheel (positive: away from the user, up the bar); parts of a notch add up.
    [[nodiscard]] bool wheel(int delta)
    {
        m_wheelRest += delta;
        const int notches = m_wheelRest / WheelNotch;
        m_wheelRest -= notches * WheelNotch;
        return notches != 0 && step(-notches * WheelLines * LineStep);
    }

    [[nodiscard]] std::int16_t value() const
    {
        return static_cast<std::int16_t>(
            m_minimum + (m_maximum >= m_minimum ? 1 : -1) * m_position);
    }
    [[nodiscard]] int position() const { return m_position; }
    [[nodiscard]] int span() const { return std::abs(m_maximum - m_minimum); }

private:
    bool set(std::int16_t minimum, std::int16_t maximum, int value)
    {
        const std::int16_t before = this->value();
        m_minimum = minimum;
        m_maximum = maximum;
        const int clamped
            = std::clamp(value, std::min<int>(minimum, maximum), std::max<int>(minimum, maximum));
        m_position = std::abs(clamped - minimum);
        return this->value() != before;
    }

    std::int16_t m_minimum = 0;
    std::int16_t m_maximum = 32767;
    int m_position = 0;
    int m_wheelRest = 0;
};

// The velocity bar's properties in Controls, written once for every window system: they are the
// model's, which the window system's scroll bar shows (showVolBar) and moves.
class VolBarControls : public Controls
{
public:
    void setVolMin(std::int16_t value) final { showVolBar(m_volBar.setMinimum(value)); }
    void setVolMax(std::int16_t value) final { showVolBar(m_volBar.setMaximum(value)); }
    void setVolValue(std::int16_t value) final { showVolBar(m_volBar.setValue(value)); }
    [[nodiscard]] std::int16_t volValue() const final { return m_volBar.value(); }

protected:
    // The scroll bar shows the model's range and position; `changed`: it reports a change.
    virtual void showVolBar(bool changed) = 0;

    VolBarModel m_volBar;
};
