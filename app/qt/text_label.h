#pragma once

#include <QLabel>

// A text label painted on the window's surface: transparent, left and top aligned, plain text.
// It reports a click: a left press and release both over the label.
class TextLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TextLabel(QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
