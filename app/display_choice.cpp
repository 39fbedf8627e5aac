#include "app/display_choice.h"

#include <cctype>

namespace {

constexpr const char* Program = "nolvex-keyboard: ";

bool isSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

} // namespace

DisplayChoice chooseDisplay(const char* qpaPlatform, const char* display,
    const char* waylandDisplay, const DisplayProbes& probes)
{
    if (isSet(qpaPlatform))
        return {};
    if (!isSet(display) && !isSet(waylandDisplay))
        return { {},
            std::string(Program)
                + "no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set. Start it from a "
                  "desktop session, or set DISPLAY (for example DISPLAY=:0)." };
    std::string why;
    if (isSet(display)) {
        why = probes.x11(display);
        if (why.empty())
            return { "xcb", {} };
    }
    if (isSet(waylandDisplay)) {
        std::string waylandWhy = probes.wayland(waylandDisplay);
        if (waylandWhy.empty())
            return { "wayland", {} };
        if (!why.empty()) {
            waylandWhy.front() = static_cast<char>(std::toupper(waylandWhy.front()));
            why += ' ';
        }
        why += waylandWhy;
    }
    return { {}, Program + why };
}
