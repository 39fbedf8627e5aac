#pragma once

#include "window/colour.h"

#include <QAbstractButton>

#include <cstdint>

class QTouchEvent;

// One piano key: a two-state button drawn in push-button style, sunken while set, filled with its
// back colour. Every mouse button presses it; the key that got the press gets the release. A
// finger on a touchscreen presses it too, and the key it went down on gets its lift.
class KeyButton : public QAbstractButton
{
    Q_OBJECT
public:
    KeyButton(std::int16_t index, ColorValue backColour, ColorValue foreColour, QWidget* parent);

    [[nodiscard]] std::int16_t index() const { return m_index; }
    // The back colour as set, system-colour references kept as such.
    [[nodiscard]] ColorValue backColour() const { return m_backColour; }
    void setBackColour(ColorValue colour);

signals:
    void buttonDown(std::int16_t index);
    void buttonUp(std::int16_t index);
    void fingerDown(std::int16_t index, int finger);
    void fingerUp(int finger);
    void touchCancelled();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void touchEvent(QTouchEvent* event);

    std::int16_t m_index;
    ColorValue m_backColour;
    ColorValue m_foreColour;
};
