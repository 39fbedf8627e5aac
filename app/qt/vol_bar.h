#pragma once

#include <QScrollBar>

#include <cstdint>

// The velocity bar `vol`: a vertical scroll bar whose minimum sits at the top and may be greater
// than its maximum (127 at the top, 0 at the bottom). QScrollBar needs minimum <= maximum, so the
// bar shows the distance from the minimum: Qt value q = |value - minimum|, Qt range 0 to
// |maximum - minimum|.
class VolBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit VolBar(QWidget* parent);

    void setVbMinimum(std::int16_t value);
    void setVbMaximum(std::int16_t value);
    void setVbValue(std::int16_t value);
    [[nodiscard]] std::int16_t vbValue() const;

signals:
    // The value changed: after an arrow or trough click, at the end of a thumb drag, or when a
    // property set moved it. Not raised while the thumb is being dragged.
    void changed();

private:
    void apply(std::int16_t minimum, std::int16_t maximum, std::int32_t value);
    [[nodiscard]] int direction() const { return m_maximum >= m_minimum ? 1 : -1; }

    std::int16_t m_minimum = 0;
    std::int16_t m_maximum = 32767;
};
