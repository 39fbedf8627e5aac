#pragma once

#include "window/controls.h"

#include <cstdint>

// The window manager's call that places a window in the stacking order, with the arguments of
// the Windows call `SetWindowPos`. Returns non-zero on success.
class WindowManager
{
public:
    static constexpr std::intptr_t HwndTopmost = -1;
    static constexpr std::uint32_t SwpNoSize = 1;
    static constexpr std::uint32_t SwpNoMove = 2;

    virtual ~WindowManager() = default;
    [[nodiscard]] virtual std::int32_t SetWindowPos(NativeHandle hwnd, std::intptr_t insertAfter,
        int x, int y, int cx, int cy, std::uint32_t flags)
        = 0;
};
