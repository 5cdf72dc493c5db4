#include "platform/window_class.h"

bool EnsureWindowClass(const char* className, WNDPROC procedure, UINT style, LPCSTR cursor) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (::GetClassInfoA(instance, className, &existing)) return true;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, cursor);
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}
