#include "app/kelvora.h"
#include "app/kelvora_window.h"
#include "app/key_button.h"
#include "app/text_label.h"
#include "app/vol_bar.h"
#include "tests/fakes/recording_midi.h"
#include "window/window_definition.h"

#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

QList<QMenu*> submenus(const QList<QAction*>& actions)
{
    QList<QMenu*> menus;
    for (QAction* a : actions)
        if (a->menu())
            menus.append(a->menu());
    return menus;
}

} // namespace

class KelvoraWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        midi = std::make_unique<RecordingMidi>();
        windowManager = std::make_unique<RecordingWindowManager>();
        window = std::make_unique<KelvoraWindow>();
        kelvora = std::make_unique<Kelvora>(*window, *midi, *windowManager);
        window->attach(*kelvora);
        kelvora->load();
        midi->sent.clear();
    }
    void cleanup()
    {
        kelvora.reset();
        window.reset();
    }

    void clientAreaAndCaption()
    {
        QCOMPARE(window->windowTitle(), QString("Nolvex MIDI keyboard"));
        QCOMPARE(window->clientArea()->size(), QSize(619, 139));
        QCOMPARE(window->clientArea()->mapTo(window.get(), QPoint(0, 0)).y(),
            window->menuBar()->height());
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(windowManager->calls.size(), 1u);
        QCOMPARE(windowManager->calls[0].hwnd, static_cast<NativeHandle>(window->winId()));
    }

    void keyGeometryIsTwipsOverFifteen()
    {
        for (int k = 0; k < 60; ++k) {
            const WindowDefinition::Control c = WindowDefinition::keyControl(k);
            QCOMPARE(window->key(k)->geometry(),
                QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
        }
    }

    void pressLandsOnTheUppermostKey_data()
    {
        QTest::addColumn<QPoint>("pixel"); // in the client area
        QTest::addColumn<int>("key");
        QTest::newRow("key 0 below the black keys") << QPoint(40, 85) << 0;
        QTest::newRow("key 0 where key 1 covers it") << QPoint(40, 45) << 1;
        QTest::newRow("key 0 left of key 1") << QPoint(31, 45) << 0;
        QTest::newRow("key 2 where key 1 covers it") << QPoint(46, 45) << 1;
        QTest::newRow("key 59 near its right edge") << QPoint(588, 45) << 59;
    }
    void pressLandsOnTheUppermostKey()
    {
        QFETCH(QPoint, pixel);
        QFETCH(int, key);
        const QPoint at = window->clientArea()->mapTo(window.get(), pixel);
        auto* hit = qobject_cast<KeyButton*>(window->childAt(at));
        QVERIFY(hit);
        QTest::mousePress(hit, Qt::LeftButton, {}, hit->mapFrom(window.get(), at));
        QCOMPARE(midi->sent, (std::vector { programChange(0), noteOn(36 + key, 127) }));
    }

    void everyButtonPlays_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("middle") << Qt::MiddleButton;
        QTest::newRow("right") << Qt::RightButton;
    }
    void everyButtonPlays()
    {
        QFETCH(Qt::MouseButton, button);
        KeyButton* c = window->key(24);
        QTest::mousePress(c, button);
        QCOMPARE(c->grab().toImage().pixelColor(7, 30), QColor(0, 255, 0));
        QTest::mouseRelease(c, button);
        QCOMPARE(midi->sent, (std::vector { programChange(0), noteOn(60, 127), noteOff(60) }));
        QCOMPARE(c->grab().toImage().pixelColor(7, 30), QColor(Qt::white));
        QVERIFY(!c->isChecked());
    }

    void releaseOffTheKeyReleasesThePressedKey()
    {
        KeyButton* black = window->key(10);
        QTest::mousePress(black, Qt::LeftButton);
        QTest::mouseRelease(black, Qt::LeftButton, {}, QPoint(-40, 60));
        QCOMPARE(midi->sent, (std::vector { programChange(0), noteOn(46, 127), noteOff(46) }));
        QCOMPARE(window->keyBackColor(10), 0x80000007u);
        QVERIFY(!black->isChecked());
    }

    void menuTreeAsBuilt()
    {
        const QList<QMenu*> top = submenus(window->menuBar()->actions());
        QStringList titles, families;
        for (QMenu* m : top)
            titles << m->title();
        QCOMPARE(titles, QStringList({ "Instruments", "Gamme et Accord", "Clé" }));
        std::int16_t index = 16;
        for (QMenu* family : submenus(top[0]->actions())) {
            families << family->title();
            QCOMPARE(family->actions().size(), 8);
            for (QAction* entry : family->actions()) {
                QCOMPARE(window->menuAction(index), entry);
                QVERIFY(entry->text().startsWith(QString::asprintf("%03d", index - 16)));
                ++index;
            }
        }
        QCOMPARE(families,
            QStringList({ "PIANO", "CHROMATIC PERCUSSION", "ORGAN", "GUITAR", "BASS", "STRINGS",
                "ENSEMBLE", "BRASS", "REED", "PIPE", "SYNTH LEAD", "SYNTH-PAD", "SYNTH EFFECTS",
                "ETHNIC", "PERCUSSIVE" }));
        QCOMPARE(index, 136);
        for (const auto& [menu, first, last] : { std::tuple { 1, 136, 152 }, { 2, 153, 164 } }) {
            QCOMPARE(top[menu]->actions().size(), last - first + 1);
            QCOMPARE(
                window->menuAction(static_cast<std::int16_t>(first)), top[menu]->actions().first());
            QCOMPARE(
                window->menuAction(static_cast<std::int16_t>(last)), top[menu]->actions().last());
        }
    }

    void choosingAnEntryUpdatesItsLabel_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("labels"); // instrument, scale, note
        const QString piano = "PIANO - 000 - Acoustic Grand Piano";
        QTest::newRow("clarinet") << 87
                                  << QStringList { "REED - 071 - Clarinet ", "Gammes Majeur",
                                         "(Do) " };
        QTest::newRow("augmented")
            << 141 << QStringList { piano, "Accord Quinte augmentée", "(Do) +5" };
        QTest::newRow("sol dièse")
            << 161 << QStringList { piano, "Gammes Majeur", "(Sol # La b) " };
    }
    void choosingAnEntryUpdatesItsLabel()
    {
        QFETCH(int, index);
        QFETCH(QStringList, labels);
        window->menuAction(static_cast<std::int16_t>(index))->trigger();
        QCOMPARE(QStringList({ window->label(CaptionLabel::Lbl_Instrument_Name)->text(),
                     window->label(CaptionLabel::Lbl_gamme)->text(),
                     window->label(CaptionLabel::Lbl_note)->text() }),
            labels);
        QVERIFY(midi->sent.empty());
    }

    void velocityBarRunsFrom127AtTheTop()
    {
        VolBar* bar = window->volBar();
        QCOMPARE(bar->value(), bar->minimum());
        QCOMPARE(window->volValue(), 127);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); // one step down
        bar->setSliderDown(true);
        bar->setValue(bar->maximum()); // dragged to the bottom, not yet let go
        QTest::mouseClick(window->key(0), Qt::LeftButton);
        bar->setSliderDown(false);
        QTest::mouseClick(window->key(0), Qt::LeftButton);
        QCOMPARE(midi->sent[1], noteOn(36, 126));
        QCOMPARE(midi->sent[4], noteOn(36, 0));
    }

    void octaveLabelsMoveTheMarkers()
    {
        QTest::mouseClick(window->label(ClickLabel::Lbl_OctPlus), Qt::LeftButton);
        QList<int> shown;
        for (int k = 0; k < 60; ++k)
            if (window->marker(k)->isVisibleTo(window->clientArea()))
                shown.append(k);
        QCOMPARE(shown, QList<int>({ 36, 38, 40, 41, 43, 45, 47 }));
    }

    void failedOpenShowsOneOkBoxWhoseTextCopies()
    {
        RecordingMidi failing;
        failing.openResult = 2;
        KelvoraWindow w;
        Kelvora k(w, failing, *windowManager);
        w.attach(k);
        // The box comes up in the middle of load, after the window was shown.
        QString text;
        int buttons = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            buttons = static_cast<int>(box->buttons().size());
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
            text = QGuiApplication::clipboard()->text();
            box->button(QMessageBox::Ok)->click();
        });
        poll.start(10);
        k.load();
        QVERIFY(text.contains("rc = 2"));
        QCOMPARE(buttons, 1);
        QCOMPARE(w.volValue(), 127);
    }

    void closingUnloadsOnce()
    {
        window->close();
        window->close();
        QCOMPARE(midi->calls.back(), std::string("close"));
        QCOMPARE(std::count(midi->calls.begin(), midi->calls.end(), "close"), 1);
    }

private:
    std::unique_ptr<RecordingMidi> midi;
    std::unique_ptr<RecordingWindowManager> windowManager;
    std::unique_ptr<KelvoraWindow> window;
    std::unique_ptr<Kelvora> kelvora;
};

QTEST_MAIN(KelvoraWindowTest)
#include "kelvora_window_test.moc"
