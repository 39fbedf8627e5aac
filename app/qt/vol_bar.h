#pragma once

#include "window/scroll_range.h"

#include <QScrollBar>

#include <cstdint>

// The velocity bar `vol`: a vertical scroll bar whose minimum sits at the top and may be greater
// than its maximum (127 at the top, 0 at the bottom). Qt's own range is the distance from the
// minimum (ScrollRange).
class VolBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit VolBar(QWidget* parent);

    void setVbMinimum(std::int16_t value);
    void setVbMaximum(std::int16_t value);
    void setVbValue(std::int16_t value);
    [[nodiscard]] std::int16_t vbValue() const { return m_range.value(value()); }

signals:
    // The value changed: after an arrow or trough click, at the end of a thumb drag, or when a
    // property set moved it. Not raised while the thumb is being dragged.
    void changed();

private:
    void apply(ScrollRange range, int value);

    ScrollRange m_range;
};
