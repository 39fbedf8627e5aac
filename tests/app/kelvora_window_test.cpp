#include "app/kelvora.h"
#include "app/kelvora_window.h"
#include "app/key_button.h"
#include "app/text_label.h"
#include "app/vol_bar.h"
#include "tests/fakes/recording_midi.h"

#include <QtTest>

#include <memory>

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

    // Steps: "down F K" finger F on key K (beside the keys for -1), "move F K", "up F", "press K" /
    // "release K" (off the key, where the window system still gives it to K) the mouse on key K,
    // "emulated K" a click emulated from a finger, "cancel" the touches taken by the system,
    // "hide", "show". Notes: a note on (after its program change) or, negative, a note off; the
    // keys of the notes still on are green, every other key has its own colour.
    void touchAndMousePlayEachKeyTheyWentDownOn_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("notes");
        const QString chord = "down 0 24, down 1 27, down 2 31, ";
        QTest::newRow("three fingers lifted in another order")
            << chord + "up 1, up 2, up 0" << QList { 60, 63, 67, -63, -67, -60 };
        QTest::newRow("slide, emulated click")
            << "down 0 24, emulated 24, move 0 25, move 0 26, up 0" << QList { 60, -60 };
        QTest::newRow("finger beside the keys") << "down 0 0, down 1 -1, up 1" << QList { 36 };
        QTest::newRow("mouse and two fingers on one key")
            << "press 5, down 0 7, down 1 7, release 5, up 0, up 1"
            << QList { 41, 43, 43, -41, -43, -43 };
        QTest::newRow("touch cancelled") << chord + "press 5, cancel, up 2, up 0, up 1"
                                         << QList { 60, 63, 67, 41, -60, -63, -67 };
        QTest::newRow("hidden") << "press 10, down 0 10, down 1 29, down 2 31, up 2, hide, show, "
                                   "release 10, down 3 10, up 0, up 1"
                                << QList { 46, 46, 65, 67, -67, -46, -46, -65, 46 };
    }
    void touchAndMousePlayEachKeyTheyWentDownOn()
    {
        QFETCH(QString, steps);
        QFETCH(QList<int>, notes);
        static QPointingDevice* screen = QTest::createTouchDevice();
        auto touch = QTest::touchEvent(window.get(), screen, false);
        QMap<int, QPoint> fingers; // where each finger down is, in window pixels
        const auto onKey = [this](int k) {
            QWidget* on = k < 0 ? window->clientArea() : window->key(k);
            return on->mapTo(window.get(), k < 0 ? QPoint(5, 60) : QPoint(7, on->height() - 5));
        };
        for (const QString& step : steps.split(", ")) {
            const QStringList w = step.split(' ');
            const int n = w.value(1).toInt();
            for (auto f = fingers.cbegin(); f != fingers.cend(); ++f)
                if (f.key() != n || !QStringList { "down", "move", "up" }.contains(w[0]))
                    touch.stationary(f.key());
            if (w[0] == "down")
                touch.press(n, fingers[n] = onKey(w[2].toInt()));
            else if (w[0] == "move")
                touch.move(n, fingers[n] = onKey(w[2].toInt()));
            else if (w[0] == "up")
                touch.release(n, fingers.take(n));
            else if (w[0] == "press") {
                QTest::mousePress(window->key(n), Qt::LeftButton);
                QVERIFY(window->key(n)->isDown()); // drawn pressed in while held
            } else if (w[0] == "release")
                QTest::mouseRelease(window->key(n), Qt::LeftButton, {}, QPoint(-40, 60));
            else if (w[0] == "emulated")
                for (const auto type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
                    QMouseEvent emulated(type, QPointF(7, 7), QPointF(), QPointF(), Qt::LeftButton,
                        {}, {}, Qt::MouseEventSynthesizedByQt, screen);
                    QApplication::sendEvent(window->key(n), &emulated);
                }
            else if (w[0] == "cancel") // to each key that holds a finger, as the toolkit sends it
                for (QTouchEvent cancel(QEvent::TouchCancel, screen); const QPoint& f : fingers)
                    QApplication::sendEvent(window->childAt(f), &cancel);
            else
                window->setVisible(w[0] == "show");
            touch.commit();
        }
        QList<quint32> sent;
        for (const int note : notes)
            sent << (note < 0 ? QList { noteOff(-note) }
                              : QList { programChange(0), noteOn(note, 127) });
        QCOMPARE(QList<quint32>(midi->sent.begin(), midi->sent.end()), sent);
        const KelvoraWindow untouched;
        for (std::int16_t k = 0; k < 60; ++k) {
            const bool sounding = notes.count(k + 36) > notes.count(-k - 36);
            QCOMPARE(window->keyBackColor(k), sounding ? Colour::Green : untouched.keyBackColor(k));
            QVERIFY(!window->key(k)->isChecked());
        }
    }

    void choosingEntriesUpdatesTheirLabels_data()
    {
        QTest::addColumn<QList<int>>("indices");
        QTest::addColumn<QStringList>("labels"); // instrument, scale, note
        const QString piano = "PIANO - 000 - Acoustic Grand Piano";
        QTest::newRow("clarinet") << QList { 87 }
                                  << QStringList { "REED - 071 - Clarinet ", "Gammes Majeur",
                                         "(Do) " };
        QTest::newRow("augmented")
            << QList { 141 } << QStringList { piano, "Accord Quinte augmentée", "(Do) +5" };
        QTest::newRow("major again")
            << QList { 141, 136 } << QStringList { piano, "Gammes Majeur", "(Do) " };
        QTest::newRow("sol dièse")
            << QList { 161 } << QStringList { piano, "Gammes Majeur", "(Sol # La b) " };
    }
    void choosingEntriesUpdatesTheirLabels()
    {
        QFETCH(QList<int>, indices);
        QFETCH(QStringList, labels);
        for (const int index : indices)
            window->menuAction(static_cast<std::int16_t>(index))->trigger();
        QCOMPARE(QStringList({ window->label(CaptionLabel::Lbl_Instrument_Name)->text(),
                     window->label(CaptionLabel::Lbl_gamme)->text(),
                     window->label(CaptionLabel::Lbl_note)->text() }),
            labels);
        QVERIFY(midi->sent.empty());
        QCOMPARE(window->menuAction(KelvoraWindow::MenuIndexCount), nullptr);
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

private:
    std::unique_ptr<RecordingMidi> midi;
    std::unique_ptr<RecordingWindowManager> windowManager;
    std::unique_ptr<KelvoraWindow> window;
    std::unique_ptr<Kelvora> kelvora;
};

QTEST_MAIN(KelvoraWindowTest)
#include "kelvora_window_test.moc"
