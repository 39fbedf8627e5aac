#pragma once

#include <functional>
#include <string>

// Which display the program opens, from the variables a desktop session sets. The window stays
// above others only on X11 (Wayland has no protocol for it), so where a session offers both, X11
// (XWayland) is tried first; a platform the user set is left alone.
struct DisplayChoice
{
    std::string platform; // the toolkit platform to use; empty: the user's own choice
    std::string error; // not empty: no display can be opened, and this line says why
};

// Each asks whether the named display answers and can be drawn on: empty if so, else what is
// wrong and what to do, in a sentence or two without a line break.
struct DisplayProbes
{
    std::function<std::string(const char* display)> x11;
    std::function<std::string(const char* waylandDisplay)> wayland;
};

// Each string argument is the variable's value, or null when it is not set.
[[nodiscard]] DisplayChoice chooseDisplay(const char* qpaPlatform, const char* display,
    const char* waylandDisplay, const DisplayProbes& probes);

// The probes of this machine's display servers: an X connection opened and closed again, its
// colour depth looked at; a Wayland socket connected to.
[[nodiscard]] DisplayProbes systemDisplayProbes();
