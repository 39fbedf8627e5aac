#include "app/qt/vol_bar.h"

#include <QSignalBlocker>

VolBar::VolBar(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
{
    apply(m_range, m_range.minimum);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!isSliderDown())
            emit changed();
    });
    connect(this, &QAbstractSlider::sliderReleased, this, &VolBar::changed);
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
    {
        const QSignalBlocker blocker(this);
        setRange(0, m_range.span());
        setValue(m_range.position(value));
    }
    if (vbValue() != before)
        emit changed();
}
