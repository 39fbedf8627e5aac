#pragma once

#include <optional>

// The touches lifted on the X server, read from its raw input events: they reach the program
// whatever holds the pointer. An open menu's grab takes the touch sequences that began on the
// keys, and their lifts never come to the keys as touch events.
class X11TouchLifts
{
public:
    // `display` is the application's open Xlib Display*, whose events the toolkit reads; it is
    // asked for raw touch ends on the root window, beside what the toolkit selected there.
    explicit X11TouchLifts(void* display);

    // The touch point id (as the toolkit numbers it) that `event`, an xcb_generic_event_t read
    // from that display, says was lifted; nothing for any other event.
    [[nodiscard]] std::optional<int> lifted(const void* event) const;

private:
    int m_opcode = -1; // the X Input extension's major opcode, -1 without it
};
