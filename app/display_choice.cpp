#include "app/display_choice.h"

namespace {

bool isSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

} // namespace

DisplayChoice chooseDisplay(
    const char* qpaPlatform, const char* display, const char* waylandDisplay)
{
    if (isSet(qpaPlatform))
        return {};
    if (!isSet(display) && !isSet(waylandDisplay))
        return { {},
            "nolvex-keyboard: no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set. "
            "Start it from a desktop session, or set DISPLAY (for example DISPLAY=:0)." };
    if (isSet(display) && isSet(waylandDisplay))
        return { "xcb", {} };
    return {};
}
