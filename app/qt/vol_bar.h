#pragma once

#include "window/vol_bar_model.h"

#include <QScrollBar>

// The velocity bar `vol`: a vertical scroll bar showing the range and position of the bar's
// model, to which it forwards every move.
class VolBar : public QScrollBar
{
    Q_OBJECT
public:
    VolBar(VolBarModel& model, QWidget* parent);

    void sync(bool report);

signals:
    // The value as read changed: after an arrow or trough click, at the end of a thumb drag, or
    // when a property set moved it. Not raised while the thumb is being dragged.
    void changed();

private:
    void moved();

    VolBarModel& m_model;
};
