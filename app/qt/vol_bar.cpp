#include "app/qt/vol_bar.h"

#include <QSignalBlocker>

VolBar::VolBar(VolBarModel& model, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
    , m_model(model)
{
    setSingleStep(VolBarModel::LineStep);
    setPageStep(VolBarModel::PageStep);
    sync(false);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!isSliderDown())
            moved();
    });
    connect(this, &QAbstractSlider::sliderReleased, this, &VolBar::moved);
}

void VolBar::sync(bool report)
{
    {
        const QSignalBlocker blocker(this);
        setRange(0, m_model.span());
        setValue(m_model.position());
    }
    if (report)
        emit changed();
}

void VolBar::moved()
{
    sync(m_model.moveTo(value()));
}
