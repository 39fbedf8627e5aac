#include "app/x11/x11_window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>

namespace {

// _NET_WM_STATE client message actions.
constexpr long NetWmStateRemove = 0;
constexpr long NetWmStateAdd = 1;
constexpr long SourceApplication = 1;

bool hasAtom(Display* display, Window window, Atom property, Atom atom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(
            display, window, property, 0, 64, False, XA_ATOM, &type, &format, &count, &after, &data)
        != Success)
        return false;
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    const bool found = format == 32 && std::find(atoms, atoms + count, atom) != atoms + count;
    if (data)
        XFree(data);
    return found;
}

// A window not yet managed reads its initial state from the property when the window manager
// maps it; a managed one only listens to the client message. Doing both covers a window that
// was just shown and may be on either side of that line.
void setAbove(Display* display, Window window, bool above)
{
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom aboveAtom = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);
    XWindowAttributes attributes {};
    if (above && XGetWindowAttributes(display, window, &attributes)
        && attributes.map_state == IsUnmapped && !hasAtom(display, window, state, aboveAtom))
        XChangeProperty(display, window, state, XA_ATOM, 32, PropModeAppend,
            reinterpret_cast<const unsigned char*>(&aboveAtom), 1);

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = above ? NetWmStateAdd : NetWmStateRemove;
    event.xclient.data.l[1] = static_cast<long>(aboveAtom);
    event.xclient.data.l[3] = SourceApplication;
    XSendEvent(display, DefaultRootWindow(display), False,
        SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

} // namespace

X11WindowManager::X11WindowManager(void* display)
    : m_display(display)
{ }

// Only the topmost band is supported: HWND_TOPMOST (-1) adds the window manager's "above" state,
// HWND_NOTOPMOST (-2) removes it; the window neither moves nor changes size, so both flags
// SWP_NOMOVE and SWP_NOSIZE are required.
std::int32_t X11WindowManager::SetWindowPos(
    NativeHandle hwnd, std::intptr_t insertAfter, int, int, int, int, std::uint32_t flags)
{
    constexpr std::intptr_t HwndNoTopmost = -2;
    constexpr std::uint32_t KeepPlace = SwpNoMove | SwpNoSize;
    if (!m_display || hwnd == 0 || (flags & KeepPlace) != KeepPlace)
        return 0;
    if (insertAfter != HwndTopmost && insertAfter != HwndNoTopmost)
        return 0;
    setAbove(
        static_cast<Display*>(m_display), static_cast<Window>(hwnd), insertAfter == HwndTopmost);
    return 1;
}
