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

    // The window system gives the release to the pressed key wherever the pointer is.
    void releaseOffTheKeyReleasesThePressedKey()
    {
        KeyButton* black = window->key(10);
        QTest::mousePress(black, Qt::LeftButton);
        QVERIFY(black->isDown()); // drawn pressed in while held
        QTest::mouseRelease(black, Qt::LeftButton, {}, QPoint(-40, 60));
        QCOMPARE(midi->sent, (std::vector { programChange(0), noteOn(46, 127), noteOff(46) }));
        QCOMPARE(window->keyBackColor(10), 0x80000007u);
        QVERIFY(!black->isChecked());
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
