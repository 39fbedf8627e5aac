#include "app/qt/shutdown.h"

#include "app/qt/kelvora_window.h"
#include "midi/service_call.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#if defined(Q_OS_LINUX)
#include <xcb/xcb.h>
#endif

namespace {

// The window while an exit handler may still have to unload it.
KelvoraWindow* g_window = nullptr;

// A service that never answered still holds a thread inside its client library, whose exit code
// could wait for it: once the window has unloaded, the process ends without that code.
void endIfAServiceIsStuck(int status)
{
    if (ServiceCall::anyStuck()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
}

// Someone called exit() while the window was up: the toolkit does, with status 1, when the
// connection to the display breaks.
void unloadAtExit()
{
    if (!g_window)
        return;
    std::exchange(g_window, nullptr)->finish();
    endIfAServiceIsStuck(EXIT_FAILURE);
}

constexpr int QuitSignals[] = { SIGTERM, SIGINT, SIGHUP };
int g_signalPipe[2] = { -1, -1 };

// Only async-signal-safe work here: the signal's number goes down the pipe, and the event loop
// does the rest.
extern "C" void onQuitSignal(int signal)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    (void)!write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void catchQuitSignals()
{
    struct sigaction action
    { };
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : QuitSignals) {
        struct sigaction previous
        { };
        // A signal ignored by whoever started the program (nohup, say) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

} // namespace

Shutdown::Shutdown(KelvoraWindow& window)
    : m_window(window)
{
    g_window = &window;
    QCoreApplication::instance()->installNativeEventFilter(this);
    static const bool registered = std::atexit(unloadAtExit) == 0;
    (void)registered;
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Shutdown::onSignalPipe);
    catchQuitSignals();
}

Shutdown::~Shutdown()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    g_window = nullptr;
}

bool Shutdown::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#if defined(Q_OS_LINUX)
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
        return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window == m_window.nativeHandle()) {
        m_windowGone = true;
        QCoreApplication::exit(0);
    }
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

void Shutdown::onSignalPipe()
{
    unsigned char byte = 0;
    if (read(g_signalPipe[0], &byte, 1) == 1 && m_signal == 0)
        m_signal = byte;
    // Every event loop ends, a message box's too; one not yet running is never entered.
    QCoreApplication::exit(0);
}

int Shutdown::runEventLoop()
{
    const int status = m_signal == 0 && !m_windowGone ? QApplication::exec() : 0;
    m_window.finish();
    g_window = nullptr;
    // Ended by a quit signal: the parent learns so, as if the signal had not been caught.
    if (m_signal != 0) {
        std::signal(m_signal, SIG_DFL);
        std::raise(m_signal);
    }
    endIfAServiceIsStuck(status);
    return status;
}
