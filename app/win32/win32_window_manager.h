#pragma once

#include "app/window_manager.h"

// Stacking through the Windows window manager's own SetWindowPos.
class Win32WindowManager : public WindowManager
{
public:
    std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx,
        int cy, std::uint32_t flags) override;
};
