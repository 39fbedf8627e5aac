#pragma once

#include <string>

// Which display the program opens, from the variables a desktop session sets. The window stays
// above others only on X11 (Wayland has no protocol for it), so where a session offers both, X11
// (XWayland) is chosen; a platform the user set is left alone.
struct DisplayChoice
{
    std::string platform; // the toolkit platform to use; empty: the toolkit's own choice
    std::string error; // not empty: there is no display to open, and this says so
};

// Each argument is the variable's value, or null when it is not set.
[[nodiscard]] DisplayChoice chooseDisplay(
    const char* qpaPlatform, const char* display, const char* waylandDisplay);
