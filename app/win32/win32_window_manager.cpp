#include "app/win32/win32_window_manager.h"

#include <windows.h>

std::int32_t Win32WindowManager::SetWindowPos(
    NativeHandle hwnd, std::intptr_t insertAfter, int x, int y, int cx, int cy, std::uint32_t flags)
{
    return ::SetWindowPos(
        reinterpret_cast<HWND>(hwnd), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}
