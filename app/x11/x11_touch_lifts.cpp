#include "app/x11/x11_touch_lifts.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// The head of an X Input 2 event as it comes on the wire, inside a GenericEvent.
struct XiEventHead
{
    std::uint8_t type;
    std::uint8_t extension;
    std::uint16_t sequence;
    std::uint32_t length;
    std::uint16_t evtype;
    std::uint16_t deviceid;
    std::uint32_t time;
    std::uint32_t detail; // a touch event's touch id
};

// Raw events go to the root window, and a client's selection there is one mask per device: the
// toolkit's own bits for all devices are kept beside the raw touch end.
void selectRawTouchEnds(Display* display)
{
    const Window root = DefaultRootWindow(display);
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits {};
    int count = 0;
    XIEventMask* selected = XIGetSelectedEvents(display, root, &count);
    for (int i = 0; i < count; ++i)
        if (selected[i].deviceid == XIAllDevices)
            std::copy_n(selected[i].mask,
                std::min<std::size_t>(static_cast<std::size_t>(selected[i].mask_len), bits.size()),
                bits.begin());
    if (selected)
        XFree(selected);
    XISetMask(bits.data(), XI_RawTouchEnd);
    XIEventMask mask { XIAllDevices, static_cast<int>(bits.size()), bits.data() };
    XISelectEvents(display, root, &mask, 1);
    XFlush(display);
}

} // namespace

// The X Input version is the one the toolkit announced for the connection (touch needs 2.2): a
// second, different announcement from the same client is an error.
X11TouchLifts::X11TouchLifts(void* display)
{
    auto* dpy = static_cast<Display*>(display);
    int opcode = 0, event = 0, error = 0;
    if (!dpy || !XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error))
        return;
    selectRawTouchEnds(dpy);
    m_opcode = opcode;
}

std::optional<int> X11TouchLifts::lifted(const void* event) const
{
    XiEventHead head {};
    std::memcpy(&head, event, sizeof head);
    if (m_opcode < 0 || (head.type & 0x7f) != GenericEvent || head.extension != m_opcode
        || head.evtype != XI_RawTouchEnd)
        return std::nullopt;
    return static_cast<int>(head.detail % INT_MAX);
}
