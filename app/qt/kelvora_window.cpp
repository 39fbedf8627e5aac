#include "app/qt/kelvora_window.h"

#include "app/kelvora.h"
#include "app/qt/key_button.h"
#include "app/qt/system_colour.h"
#include "app/qt/text_label.h"
#include "app/qt/vol_bar.h"
#include "window/window_definition.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMessageBox>
#include <QTouchEvent>
#include <QWindow>

#include <algorithm>

using namespace WindowDefinition;

namespace {

constexpr int TwipsPerPixel = 15;

QRect pixels(const Control& c)
{
    return { c.left / TwipsPerPixel, c.top / TwipsPerPixel, c.width / TwipsPerPixel,
        c.height / TwipsPerPixel };
}

QPalette withColour(QPalette palette, QPalette::ColorRole role, ColorValue colour)
{
    palette.setColor(role, toQColor(colour));
    return palette;
}

// Look-alikes for the faces of the definition, where the faces themselves are missing.
void installFontSubstitutes()
{
    QFont::insertSubstitutions("MS Sans Serif",
        { "Microsoft Sans Serif", "Nimbus Sans", "Liberation Sans", "Arial", "DejaVu Sans" });
    QFont::insertSubstitutions("Comic Sans MS", { "Comic Neue", "DejaVu Sans" });
}

QFont toQFont(const Font& font, const QFont& windowFont)
{
    if (font.face.empty())
        return windowFont;
    QFont f(QString::fromUtf8(font.face.data(), static_cast<qsizetype>(font.face.size())));
    f.setPointSizeF(font.points);
    f.setWeight(static_cast<QFont::Weight>(font.weight));
    f.setItalic(false);
    return f;
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Ctrl+C copies the message to the clipboard, as a Windows message box does; Qt does it only
// on Windows.
class MessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!event->matches(QKeySequence::Copy))
            return QMessageBox::keyPressEvent(event);
        QGuiApplication::clipboard()->setText(text());
        event->accept();
    }
};

} // namespace

KelvoraWindow::KelvoraWindow()
{
    installFontSubstitutes();
    setWindowTitle(toQString(MainWindow.caption));
    setWindowFlags(
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createClientArea();
    createControls();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void KelvoraWindow::attach(Kelvora& kelvora)
{
    m_kelvora = &kelvora;
}

void KelvoraWindow::createClientArea()
{
    m_client = new QWidget(this);
    m_client->setFixedSize(
        MainWindow.clientWidth / TwipsPerPixel, MainWindow.clientHeight / TwipsPerPixel);
    m_client->setAutoFillBackground(true);
    m_client->setPalette(withColour(m_client->palette(), QPalette::Window, MainWindow.backColour));
    setCentralWidget(m_client);
}

// Widgets are created in stacking order, lowest first, so later ones lie above earlier ones.
void KelvoraWindow::createControls()
{
    for (int n = 0; n < ControlCount; ++n) {
        const Control& c = AllControls[n];
        switch (c.kind) {
        case ControlKind::Key:
            createKey(c.index);
            break;
        case ControlKind::MarkerBar:
            createMarker(c.index);
            break;
        case ControlKind::TextLabel:
            createTextLabel(n);
            break;
        case ControlKind::ScrollBar:
            createVolBar(n);
            break;
        }
    }
}

void KelvoraWindow::createKey(int index)
{
    const Control c = keyControl(index);
    auto* key = new KeyButton(c.index, c.backColour.value_or(Colour::White),
        c.foreColour.value_or(Colour::ButtonText), m_client);
    key->setGeometry(pixels(c));
    key->setText(toQString(c.caption));
    key->setVisible(c.visible);
    connect(key, &KeyButton::buttonDown, this, [this](std::int16_t i) {
        if (m_kelvora)
            m_kelvora->keyDown(i);
    });
    connect(key, &KeyButton::buttonUp, this, [this](std::int16_t i) {
        if (m_kelvora)
            m_kelvora->keyUp(i);
    });
    connect(key, &KeyButton::fingerDown, this, [this](std::int16_t i, int finger) {
        if (m_kelvora)
            m_kelvora->fingerDown(finger, i);
    });
    connect(key, &KeyButton::fingerUp, this, &KelvoraWindow::fingerLifted);
    connect(key, &KeyButton::touchCancelled, this, [this] {
        if (m_kelvora)
            m_kelvora->touchCancelled();
    });
    m_keys.at(index) = key;
}

// An opaque bar without text that reacts to nothing.
void KelvoraWindow::createMarker(int index)
{
    const Control c = markerControl(index);
    auto* marker = new QWidget(m_client);
    marker->setGeometry(pixels(c));
    marker->setAutoFillBackground(true);
    marker->setPalette(
        withColour(marker->palette(), QPalette::Window, c.backColour.value_or(Colour::Green)));
    marker->setVisible(c.visible);
    m_markers.at(index) = marker;
}

void KelvoraWindow::createTextLabel(int definitionIndex)
{
    const Control& c = AllControls[definitionIndex];
    auto* label = new TextLabel(m_client);
    label->setObjectName(toQString(c.name));
    label->setGeometry(pixels(c));
    label->setFont(toQFont(c.font, font()));
    if (c.foreColour)
        label->setPalette(withColour(label->palette(), QPalette::WindowText, *c.foreColour));
    label->setText(toQString(c.caption));
    label->setVisible(c.visible);
    connect(label, &TextLabel::clicked, this, [this, name = c.name] {
        if (m_kelvora)
            m_kelvora->clicked(name);
    });
    const auto free = std::find(m_labels.begin(), m_labels.end(), nullptr);
    *free = label;
}

void KelvoraWindow::createVolBar(int definitionIndex)
{
    const Control& c = AllControls[definitionIndex];
    m_vol = new VolBar(m_volBar, m_client);
    m_vol->setObjectName(toQString(c.name));
    m_vol->setGeometry(pixels(c));
    m_vol->setVisible(c.visible);
    connect(m_vol, &VolBar::changed, this, [this, name = c.name] {
        if (m_kelvora)
            m_kelvora->changed(name);
    });
}

TextLabel* KelvoraWindow::label(std::string_view name) const
{
    for (TextLabel* label : m_labels)
        if (label && label->objectName() == toQString(name))
            return label;
    return nullptr;
}

ColorValue KelvoraWindow::keyBackColor(std::int16_t key) const
{
    return m_keys.at(key)->backColour();
}

void KelvoraWindow::setKeyBackColor(std::int16_t key, ColorValue colour)
{
    m_keys.at(key)->setBackColour(colour);
}

void KelvoraWindow::setKeyUnset(std::int16_t key)
{
    m_keys.at(key)->setChecked(false);
}

void KelvoraWindow::setMarkerVisible(std::int16_t marker, bool visible)
{
    m_markers.at(marker)->setVisible(visible);
}

void KelvoraWindow::showVolBar(bool report)
{
    m_vol->sync(report);
}

void KelvoraWindow::setCaption(CaptionLabel which, std::string_view caption)
{
    label(name(which))->setText(toQString(caption));
}

// Shows the window and lets it reach the window system at once: start-up goes on (the MIDI
// open, perhaps a message box) before the event loop runs.
void KelvoraWindow::show()
{
    QMainWindow::show();
    windowHandle()->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

NativeHandle KelvoraWindow::nativeHandle() const
{
    return static_cast<NativeHandle>(winId());
}

void KelvoraWindow::messageBox(std::string_view text)
{
    MessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), toQString(text),
        QMessageBox::Ok, this);
    box.exec();
}

void KelvoraWindow::finish()
{
    if (m_kelvora)
        m_kelvora->unload();
    m_kelvora = nullptr;
}

void KelvoraWindow::fingerLifted(int finger)
{
    if (m_kelvora)
        m_kelvora->fingerUp(finger);
}

void KelvoraWindow::closeEvent(QCloseEvent* event)
{
    finish();
    event->accept();
}

// Hidden or unmapped (minimised, "show desktop", another desktop): the window system takes the
// pointer grab away, and the release of a held button goes elsewhere.
// While a menu is open the toolkit drops the touch events of points that went down on this window
// (on X11 the menu's grab takes them first, and the toolkit hands them back here), and with them
// the lifts of the fingers held on keys since before it opened.
bool KelvoraWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (m_kelvora && event->type() == QEvent::Expose && !windowHandle()->isExposed())
        m_kelvora->pointerLost();
    const bool touch = event->type() == QEvent::TouchUpdate || event->type() == QEvent::TouchEnd;
    if (touch && QApplication::activePopupWidget())
        for (const QEventPoint& point : static_cast<QTouchEvent*>(event)->points())
            if (point.state() == QEventPoint::Released)
                fingerLifted(point.id());
    return QMainWindow::eventFilter(watched, event);
}
