#pragma once

#include <windows.h>

// The window procedure of a class whose windows each belong to one object of `Owner`, passed to
// CreateWindowExW as its creation parameter: the object learns its handle at WM_NCCREATE, gets
// every message in its handleMessage, and forgets the handle at WM_NCDESTROY, the window's last.
template <typename Owner>
LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* created
            = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner == nullptr || message == WM_NCDESTROY) {
        if (owner != nullptr)
            owner->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return owner->handleMessage(message, wParam, lParam);
}
