#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class KelvoraWindow;
class QSocketNotifier;

// Every way the program can end runs the window's unload first (every held note off, then the
// port closes), as closing the window does: a quit signal (SIGTERM, SIGINT, SIGHUP) ends the event
// loop, and an exit() from under the program (the toolkit's, when the display connection breaks)
// runs it from an exit handler. A window destroyed by another program (`xdotool windowclose`, a
// window manager's kill) ends the event loop as the close box does. One instance, made before the
// window loads.
class Shutdown : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit Shutdown(KelvoraWindow& window);
    ~Shutdown() override;
    Shutdown(const Shutdown&) = delete;
    Shutdown& operator=(const Shutdown&) = delete;

    // Runs the event loop (unless a quit signal came during start-up), unloads the window, and
    // ends the process as the signal asks; otherwise returns the loop's status for main.
    [[nodiscard]] int runEventLoop();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void onSignalPipe();

    KelvoraWindow& m_window;
    QSocketNotifier* m_notifier = nullptr;
    int m_signal = 0;
    bool m_windowGone = false;
};
