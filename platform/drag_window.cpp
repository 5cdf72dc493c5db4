#include "platform/drag_window.h"

void DragWindow(HWND window) {
    if (::IsZoomed(window)) return;
    ::ReleaseCapture();
    ::SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}
