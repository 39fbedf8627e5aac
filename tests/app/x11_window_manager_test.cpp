#include "app/x11_window_manager.h"

// Before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint32_t NoSizeNoMove = 3;

std::vector<Atom> netWmState(Display* display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64, False,
        XA_ATOM, &type, &format, &count, &after, &data);
    std::vector<Atom> atoms;
    if (data) {
        const Atom* values = reinterpret_cast<const Atom*>(data);
        atoms.assign(values, values + count);
        XFree(data);
    }
    return atoms;
}

} // namespace

TEST(X11WindowManager, failsWithoutADisplayOrWithArgumentsItCannotHonour)
{
    X11WindowManager noDisplay(nullptr);
    EXPECT_EQ(noDisplay.SetWindowPos(0x4200001, -1, 0, 0, 0, 0, NoSizeNoMove), 0);

    int dummy = 0;
    X11WindowManager manager(&dummy); // never dereferenced: every call below is refused first
    EXPECT_EQ(manager.SetWindowPos(0, -1, 0, 0, 0, 0, NoSizeNoMove), 0) << "no window";
    EXPECT_EQ(manager.SetWindowPos(0x4200001, 0, 0, 0, 0, 0, NoSizeNoMove), 0) << "HWND_TOP";
    EXPECT_EQ(manager.SetWindowPos(0x4200001, -1, 10, 10, 0, 0, 1), 0) << "a move";
}

// A window that is not mapped yet carries the state for the window manager to read on mapping.
TEST(X11WindowManager, topmostPutsTheAboveStateOnAWindowAboutToBeShown)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        GTEST_SKIP() << "no X display (DISPLAY unset)";
    const Window window
        = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 100, 100, 0, 0, 0);
    const Atom above = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);

    X11WindowManager manager(display);
    EXPECT_NE(manager.SetWindowPos(window, -1, 0, 0, 0, 0, NoSizeNoMove), 0);
    EXPECT_NE(manager.SetWindowPos(window, -1, 0, 0, 0, 0, NoSizeNoMove), 0);
    EXPECT_EQ(netWmState(display, window), std::vector { above }) << "added once";

    XDestroyWindow(display, window);
    XCloseDisplay(display);
}
