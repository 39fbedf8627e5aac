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

// Channel 8 messages as they go on the wire, status byte lowest.
constexpr std::uint32_t programChange(int program)
{
    return 0xC8u | static_cast<std::uint32_t>(program) << 8;
}
constexpr std::uint32_t noteOn(int note, int velocity)
{
    return 0x98u | static_cast<std::uint32_t>(note) << 8
        | static_cast<std::uint32_t>(velocity) << 16;
}
constexpr std::uint32_t noteOff(int note)
{
    return 0x88u | static_cast<std::uint32_t>(note) << 8;
}

QList<QMenu*> submenus(const QList<QAction*>& actions)
{
    QList<QMenu*> menus;
    for (QAction* a : actions)
        if (a->menu())
            menus.append(a->menu());
    return menus;
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList list;
    for (QAction* a : actions)
        list.append(a->text());
    return list;
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
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
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
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->title(), QString("Instruments"));
        QCOMPARE(top[1]->title(), QString("Gamme et Accord"));
        QCOMPARE(top[2]->title(), QString("Clé"));

        const QStringList families { "PIANO", "CHROMATIC PERCUSSION", "ORGAN", "GUITAR", "BASS",
            "STRINGS", "ENSEMBLE", "BRASS", "REED", "PIPE", "SYNTH LEAD", "SYNTH-PAD",
            "SYNTH EFFECTS", "ETHNIC", "PERCUSSIVE" };
        QCOMPARE(texts(top[0]->actions()), families);
        std::int16_t index = 16;
        for (QMenu* family : submenus(top[0]->actions())) {
            QCOMPARE(family->actions().size(), 8);
            for (QAction* entry : family->actions()) {
                QCOMPARE(window->menuAction(index), entry);
                QVERIFY(entry->text().startsWith(QString::asprintf("%03d", index - 16)));
                ++index;
            }
        }
        QCOMPARE(index, 136);
        QCOMPARE(QString::fromStdString(window->menuCaption(87)), QString("071 - Clarinet "));
        QCOMPARE(QString::fromStdString(window->menuCaption(90)), QString("074 -  Recorder"));

        QCOMPARE(texts(top[1]->actions()),
            QStringList({ "Gammes Majeur", "Gamme Mineur Harmonique", "Gamme Mineur Mélodique >>",
                "Gamme Mineur Mélodique <<", "Accord Majeur", "Accord Quinte augmentée",
                "Accord Majeur avec Sixte", "Accord de 7è de dominante",
                "Accord Majeur avec 7è majeur", "Accord Mineur", "Accord Mineur avec Sixte",
                "Accord Mineur avec 7è mineur", "Accord Mineur avec 7è majeur",
                "Accord de 7è diminuée", "Accord 7è avec Quinte augmentée", "Accord 9è Majeur",
                "Accord 9è Mineur" }));
        QCOMPARE(texts(top[2]->actions()),
            QStringList({ "Do", "Do # - Ré b", "Ré", "Ré # - Mi b", "Mi - Fa b", "Mi # - Fa",
                "Fa # - Sol b", "Sol", "Sol # La b", "La", "La # Si b", "Si" }));
        QCOMPARE(window->menuAction(136), top[1]->actions().first());
        QCOMPARE(window->menuAction(164), top[2]->actions().last());
    }

    void choosingAnEntryUpdatesTheLabels_data()
    {
        QTest::addColumn<int>("menu"); // 0 instruments, 1 scales, 2 roots
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("instrument");
        QTest::addColumn<QString>("note");
        QTest::newRow("clarinet") << 0 << 8 << 7 << "REED - 071 - Clarinet "
                                  << "(Do) ";
        QTest::newRow("augmented") << 1 << -1 << 5 << "PIANO - 000 - Acoustic Grand Piano"
                                   << "(Do) +5";
        QTest::newRow("sol dièse") << 2 << -1 << 8 << "PIANO - 000 - Acoustic Grand Piano"
                                   << "(Sol # La b) ";
    }
    void choosingAnEntryUpdatesTheLabels()
    {
        QFETCH(int, menu);
        QFETCH(int, family);
        QFETCH(int, entry);
        QFETCH(QString, instrument);
        QFETCH(QString, note);
        QMenu* m = submenus(window->menuBar()->actions()).at(menu);
        if (family >= 0)
            m = submenus(m->actions()).at(family);
        m->actions().at(entry)->trigger();
        QCOMPARE(window->label(CaptionLabel::Lbl_Instrument_Name)->text(), instrument);
        QCOMPARE(window->label(CaptionLabel::Lbl_note)->text(), note);
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
