#include "app/qt/vol_bar.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cstdlib>

VolBar::VolBar(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
{
    apply(m_minimum, m_maximum, m_minimum);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!isSliderDown())
            emit changed();
    });
    connect(this, &QAbstractSlider::sliderReleased, this, &VolBar::changed);
}

std::int16_t VolBar::vbValue() const
{
    return static_cast<std::int16_t>(m_minimum + direction() * value());
}

void VolBar::setVbMinimum(std::int16_t value)
{
    apply(value, m_maximum, vbValue());
}

void VolBar::setVbMaximum(std::int16_t value)
{
    apply(m_minimum, value, vbValue());
}

void VolBar::setVbValue(std::int16_t value)
{
    apply(m_minimum, m_maximum, value);
}

// Sets range and value together, the value kept between the two ends, and reports a change of
// the value as the bar reads it.
void VolBar::apply(std::int16_t minimum, std::int16_t maximum, std::int32_t value)
{
    const std::int16_t before = vbValue();
    m_minimum = minimum;
    m_maximum = maximum;
    const int low = std::min(minimum, maximum);
    const int high = std::max(minimum, maximum);
    const int clamped = std::clamp<int>(value, low, high);
    {
        const QSignalBlocker blocker(this);
        setRange(0, std::abs(maximum - minimum));
        setValue(std::abs(clamped - minimum));
    }
    if (vbValue() != before)
        emit changed();
}
