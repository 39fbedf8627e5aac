#include "app/display_choice.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The toolkit draws through 15-bit colour and deeper true-colour visuals; on a colour-mapped one
// (8 bits, say) every paint fails and the window stays black.
std::string probeX11(const char* name)
{
    Display* display = XOpenDisplay(name);
    if (!display)
        return std::string("cannot open the X display ") + name
            + ": no X server answers there, or it refuses this user. Start the keyboard from a "
              "desktop session, or set DISPLAY to a running X server (for example DISPLAY=:0).";
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    const int visualClass = DefaultVisual(display, screen)->c_class;
    XCloseDisplay(display);
    if (depth >= 15 && (visualClass == TrueColor || visualClass == DirectColor))
        return {};
    return std::string("the X display ") + name + " has " + std::to_string(depth)
        + "-bit colour, which the keyboard cannot draw on: it needs 15-bit true colour or more "
          "(for Xvfb: -screen 0 1280x1024x24).";
}

std::string probeWayland(const char* name)
{
    std::string path = name;
    if (path.front() != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime)
            return std::string("cannot find the Wayland display ") + name
                + ": XDG_RUNTIME_DIR is not set. Start the keyboard from a desktop session.";
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the Wayland display path " + path + " is too long.";
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected
        = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    const int error = errno;
    if (fd >= 0)
        close(fd);
    if (connected)
        return {};
    return std::string("cannot connect to the Wayland display ") + name + " (" + path + ": "
        + std::strerror(error)
        + "): no compositor answers there. Start the keyboard from a desktop session, or set "
          "WAYLAND_DISPLAY to a running compositor.";
}

} // namespace

DisplayProbes systemDisplayProbes()
{
    return { probeX11, probeWayland };
}
