#include "app/display_choice.h"
#include "app/kelvora.h"
#include "app/qt/kelvora_window.h"
#include "app/qt/shutdown.h"
#include "midi/system_midi_service.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#if defined(Q_OS_LINUX)
#include "app/x11/x11_window_manager.h"
#endif

namespace {

// Where there is no X11 window manager to ask, the window is simply not kept on top by hand.
class NoWindowManager : public WindowManager
{
public:
    std::int32_t SetWindowPos(
        NativeHandle, std::intptr_t, int, int, int, int, std::uint32_t) override
    {
        return 0;
    }
};

std::unique_ptr<WindowManager> makeWindowManager([[maybe_unused]] QGuiApplication& app)
{
#if defined(Q_OS_LINUX)
    if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>())
        return std::make_unique<X11WindowManager>(x11->display());
    return std::make_unique<NoWindowManager>();
#else
    return std::make_unique<NoWindowManager>();
#endif
}

// What the toolkit says while it opens the display, held back: when it fails, it says so in half
// a dozen lines and aborts, and one line and exit status 1 say it better.
std::vector<QString> g_startupMessages;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        g_startupMessages.push_back(qFormatLogMessage(type, context, message));
        return;
    }
    const QString reason = g_startupMessages.empty() ? message : g_startupMessages.front();
    std::fprintf(stderr,
        "nolvex-keyboard: cannot open the display (%s). Start the keyboard from a desktop "
        "session; on Wayland it needs the package qt6-wayland, on X11 qt6-qpa-plugins.\n",
        qPrintable(reason.simplified()));
    std::_Exit(EXIT_FAILURE);
}

void replayStartupMessages(QtMessageHandler previous)
{
    qInstallMessageHandler(previous);
    for (const QString& message : std::exchange(g_startupMessages, {}))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
#if !defined(Q_OS_MACOS)
    const DisplayChoice choice = chooseDisplay(std::getenv("QT_QPA_PLATFORM"),
        std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), systemDisplayProbes());
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s\n", choice.error.c_str());
        return EXIT_FAILURE;
    }
    if (!choice.platform.empty())
        qputenv("QT_QPA_PLATFORM", choice.platform.c_str());
#endif
    // Qt's own event dispatcher instead of GLib's: a mouse press reaches the key with less work
    // between the window system and the widget. The program runs no GLib sources of its own.
    qputenv("QT_NO_GLIB", "1");
    // Neither the MIDI service nor the synthesiser may start a JACK server of its own; set here,
    // before any of their threads runs.
    qputenv("JACK_NO_START_SERVER", "1");
    const QtMessageHandler previousHandler = qInstallMessageHandler(holdStartupMessage);
    QApplication app(argc, argv);
    replayStartupMessages(previousHandler);
    QApplication::setApplicationName("nolvex-keyboard");
    // Wayland's app id, which a dock matches against the desktop entry for its icon.
    QGuiApplication::setDesktopFileName("io.github.nolvex.keyboard");
    QApplication::setApplicationDisplayName("Nolvex MIDI keyboard");

    const std::unique_ptr<MidiService> midi = makeSystemMidiService();
    const std::unique_ptr<WindowManager> windowManager = makeWindowManager(app);
    KelvoraWindow window;
    Kelvora kelvora(window, *midi, *windowManager);
    window.attach(kelvora);
    Shutdown shutdown(window);
    kelvora.load();
    return shutdown.runEventLoop();
}
