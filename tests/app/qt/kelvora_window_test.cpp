#include "app/kelvora.h"
#include "app/qt/kelvora_window.h"
#include "app/qt/key_button.h"
#include "app/qt/text_label.h"
#include "app/qt/vol_bar.h"
#include "tests/fakes/recording_midi.h"

#include <QMenuBar>
#include <QtTest>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

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
        midi->calls.clear();
    }
    void cleanup()
    {
        kelvora.reset();
        window.reset();
    }

    // Steps: "down F K" finger F on key K (beside the keys for -1), "move F K", "up F", "press K" /
    // "release K" the mouse on key K, "cancel" the touches taken by the system, "hide", "show",
    // "menu" opened as a click on the menu bar opens it, "escape" closing it;
    // after a colon the notes that the step plays: a note on (after its program change) or,
    // negative, a note off. At the end every key has its own colour.
    void touchAndMousePlayEachKeyTheyWentDownOn_data()
    {
        QTest::addColumn<QString>("steps");
        const QString chord = "down 0 24: 60, down 1 27: 63, down 2 31: 67, ";
        QTest::newRow("three fingers") << chord + "up 1: -63, up 2: -67, up 0: -60";
        QTest::newRow("slide") << "down 0 24: 60, move 0 25, move 0 26, up 0: -60";
        QTest::newRow("beside the keys") << "down 0 0: 36, down 1 -1, up 1, up 0: -36";
        QTest::newRow("mouse and two fingers on one key")
            << "press 7: 43, down 0 7: 43, down 1 7: 43, release 7: -43, up 0: -43, up 1: -43";
        QTest::newRow("touch cancelled")
            << chord + "press 5: 41, cancel: -60 -63 -67, up 2, up 1, up 0, release 5: -41";
        QTest::newRow("hidden") << "press 10: 46, down 0 10: 46, down 1 29: 65, down 2 31: 67, "
                                   "up 2: -67, hide: -46 -46 -65, show, release 10, down 3 10: 46, "
                                   "up 0, up 1, up 3: -46";
        QTest::newRow("menu opened") << "down 0 50: 86, menu, down 1 48, up 0: -86, up 1, escape";
    }
    void touchAndMousePlayEachKeyTheyWentDownOn()
    {
        QFETCH(QString, steps);
        static QPointingDevice* screen = QTest::createTouchDevice();
        auto touch = QTest::touchEvent(window.get(), screen, false);
        QMap<int, QPoint> fingers; // where each finger down is, in window pixels
        const auto onKey = [this](int k) {
            QWidget* on = k < 0 ? window->clientArea() : window->key(k);
            return on->mapTo(window.get(), k < 0 ? QPoint(5, 60) : QPoint(7, on->height() - 5));
        };
        for (const QString& step : steps.split(", ")) {
            const QStringList w = step.section(':', 0, 0).split(' ');
            const int n = w.value(1).toInt();
            for (const int f : fingers.keys()) // the others stay where they are
                touch.stationary(f);
            if (w[0] == "down")
                touch.press(n, fingers[n] = onKey(w[2].toInt()));
            else if (w[0] == "move")
                touch.move(n, fingers[n] = onKey(w[2].toInt()));
            else if (w[0] == "up")
                touch.release(n, fingers.take(n));
            else if (w[0] == "press" || w[0] == "release") { // drawn pressed in while held only
                QTest::mouseEvent(w[0] == "press" ? QTest::MousePress : QTest::MouseRelease,
                    window->key(n), Qt::LeftButton, {}, {});
                QCOMPARE(window->key(n)->isDown() || window->key(n)->isChecked(), w[0] == "press");
            } else if (w[0] == "menu")
                window->menuBar()->actions().constFirst()->menu()->popup(window->pos());
            else if (w[0] == "escape")
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            else if (w[0] == "cancel") // to each key that holds a finger, as the toolkit sends it
                for (QTouchEvent cancel(QEvent::TouchCancel, screen); const QPoint& f : fingers)
                    QApplication::sendEvent(window->childAt(f), &cancel);
            else
                window->setVisible(w[0] == "show");
            touch.commit();
            QStringList sent, expected;
            for (const std::string& call : std::exchange(midi->calls, {}))
                sent << QString::fromStdString(call);
            for (const QString& note : step.section(':', 1).split(' ', Qt::SkipEmptyParts))
                for (const char* message : note.startsWith('-')
                        ? QList { "send 88 %02X 00" }
                        : QList { "send C8 00 00", "send 98 %02X 7F" })
                    expected << QString::asprintf(message, std::abs(note.toInt()));
            QCOMPARE(sent, expected);
        }
        const KelvoraWindow untouched;
        for (std::int16_t k = 0; k < 60; ++k)
            QCOMPARE(window->keyBackColor(k), untouched.keyBackColor(k));
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
        QCOMPARE(QString::fromStdString(midi->calls[1]), "send 98 24 7E");
        QCOMPARE(QString::fromStdString(midi->calls[4]), "send 98 24 00");
        window->setVolValue(100); // the bar shows a value set: 27 steps below the top
        QCOMPARE(bar->value(), 27);
    }

    // The menus and labels forward their choices and clicks: an instrument, a chord on a root, the
    // marking an octave up; the labels read the captions back verbatim. Nothing is sent.
    void menusAndLabelsForwardTheirChoicesAndClicks()
    {
        for (const std::int16_t index : { 87, 141, 161 })
            window->menuAction(index)->trigger();
        QTest::mouseClick(window->label("Lbl_OctPlus"), Qt::LeftButton);
        QCOMPARE(QStringList({ window->label("Lbl_Instrument_Name")->text(),
                     window->label("Lbl_gamme")->text(), window->label("Lbl_note")->text() }),
            QStringList(
                { "REED - 071 - Clarinet ", "Accord Quinte augmentée", "(Sol # La b) +5" }));
        QList<int> shown;
        for (int k = 0; k < 60; ++k)
            if (window->marker(k)->isVisibleTo(window->clientArea()))
                shown.append(k);
        QCOMPARE(shown, QList<int>({ 44, 48, 52 }));
        QVERIFY(midi->calls.empty());
        QCOMPARE(window->menuAction(MenuIndex::Count), nullptr);
    }

private:
    std::unique_ptr<RecordingMidi> midi;
    std::unique_ptr<RecordingWindowManager> windowManager;
    std::unique_ptr<KelvoraWindow> window;
    std::unique_ptr<Kelvora> kelvora;
};

QTEST_MAIN(KelvoraWindowTest)
#include "kelvora_window_test.moc"
