#pragma once

#include "app/window_manager.h"

// Stacking through the X11 window manager: the topmost band is its "above" state.
class X11WindowManager : public WindowManager
{
public:
    // `display` is the application's open Xlib Display*.
    explicit X11WindowManager(void* display);
    std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx,
        int cy, std::uint32_t flags) override;

private:
    void* m_display;
};
