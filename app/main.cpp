#include "app/display_choice.h"
#include "app/kelvora.h"
#include "app/kelvora_window.h"
#include "app/shutdown.h"
#include "midi/system_midi_service.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

#if defined(Q_OS_WIN)
#include "app/win32_window_manager.h"
#elif defined(Q_OS_LINUX)
#include "app/x11_window_manager.h"
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
#if defined(Q_OS_WIN)
    return std::make_unique<Win32WindowManager>();
#elif defined(Q_OS_LINUX)
    if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>())
        return std::make_unique<X11WindowManager>(x11->display());
    return std::make_unique<NoWindowManager>();
#else
    return std::make_unique<NoWindowManager>();
#endif
}

} // namespace

int main(int argc, char* argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const DisplayChoice choice = chooseDisplay(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
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
    QApplication app(argc, argv);
    QApplication::setApplicationName("nolvex-keyboard");
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
