#include "app/qt/key_button.h"

#include "app/qt/system_colour.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

namespace {

// A mouse event emulated from a touch, which a platform may still send beside the touch: the
// finger would play twice. Fingers play through their touch events only.
bool fromFinger(const QMouseEvent* event)
{
    return event->source() != Qt::MouseEventNotSynthesized && event->pointingDevice()
        && event->pointingDevice()->type() == QInputDevice::DeviceType::TouchScreen;
}

} // namespace

KeyButton::KeyButton(
    std::int16_t index, ColorValue backColour, ColorValue foreColour, QWidget* parent)
    : QAbstractButton(parent)
    , m_index(index)
    , m_backColour(backColour)
    , m_foreColour(foreColour)
{
    setCheckable(true);
    // Accepted touches leave no emulated mouse press behind them: one note on per finger.
    setAttribute(Qt::WA_AcceptTouchEvents);
}

void KeyButton::setBackColour(ColorValue colour)
{
    m_backColour = colour;
    update();
}

void KeyButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, toQColor(m_backColour));

    // Two-pixel bevel: light above and left when raised, dark there when sunken.
    const bool sunken = isChecked() || isDown();
    const QColor outerLight = sunken ? Qt::black : Qt::white;
    const QColor outerDark = sunken ? Qt::white : Qt::black;
    const QColor innerLight = sunken ? QColor(128, 128, 128) : QColor(223, 223, 223);
    const QColor innerDark = sunken ? QColor(223, 223, 223) : QColor(128, 128, 128);
    const auto bevel = [&p](QRect b, const QColor& light, const QColor& dark) {
        p.setPen(light);
        p.drawLine(b.topLeft(), b.topRight());
        p.drawLine(b.topLeft(), b.bottomLeft());
        p.setPen(dark);
        p.drawLine(b.bottomLeft(), b.bottomRight());
        p.drawLine(b.topRight(), b.bottomRight());
    };
    bevel(r, outerLight, outerDark);
    bevel(r.adjusted(1, 1, -1, -1), innerLight, innerDark);

    if (text().isEmpty())
        return;
    // The key is narrower than its caption's leading spaces: they wrap away as on a graphical
    // button, and the letter stands centred at the bottom.
    p.setPen(toQColor(m_foreColour));
    const QRect textArea = r.adjusted(2, 2, -2, -3).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    p.drawText(textArea, Qt::AlignHCenter | Qt::AlignBottom, text().trimmed());
}

bool KeyButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        touchEvent(static_cast<QTouchEvent*>(event));
        return true;
    case QEvent::TouchCancel:
        event->accept();
        emit touchCancelled();
        return true;
    default:
        return QAbstractButton::event(event);
    }
}

// Every point that this key got is held by it until lifted, also when it slid onto another
// key. A point that came down between the keys, on no control, may come here too (the toolkit
// gives it to the touched control nearest to it): it plays nothing.
void KeyButton::touchEvent(QTouchEvent* event)
{
    event->accept();
    for (const QEventPoint& point : event->points()) {
        if (point.state() == QEventPoint::Pressed && rect().contains(point.position().toPoint()))
            emit fingerDown(m_index, point.id());
        else if (point.state() == QEventPoint::Released)
            emit fingerUp(point.id());
    }
}

// The note goes out first: QAbstractButton repaints the pressed button at once, before it
// returns. It handles the left button only; the middle and right ones play too.
void KeyButton::mousePressEvent(QMouseEvent* event)
{
    if (fromFinger(event))
        return event->ignore();
    emit buttonDown(m_index);
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mousePressEvent(event);
    event->accept();
}

void KeyButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (fromFinger(event))
        return event->ignore();
    // The button toggles the state first, so that the release handler's unset has the last word.
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mouseReleaseEvent(event);
    event->accept();
    emit buttonUp(m_index);
}

// No keyboard operation is defined for a key: Space must not toggle it.
void KeyButton::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

void KeyButton::keyReleaseEvent(QKeyEvent* event)
{
    event->ignore();
}
