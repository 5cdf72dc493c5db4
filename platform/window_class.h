// The window-class idiom: the C++ object is stashed at WM_NCCREATE, every
// message goes to its HandleMessage, and the pointer is cleared at
// WM_NCDESTROY so that late messages never reach a destroyed object.
#pragma once

#include <windows.h>

// Registers a window class once per process; true when it is available.
bool EnsureWindowClass(const char* className, WNDPROC procedure, UINT style = 0,
                       LPCSTR cursor = IDC_ARROW);

template <typename Owner>
LRESULT CALLBACK ForwardToOwner(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* owner = static_cast<Owner*>(create->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        owner->AttachWindow(hwnd);
    }
    auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && owner) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        owner->DetachWindow();
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (!owner) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return owner->HandleMessage(message, wParam, lParam);
}
