// Helpers shared by the skin tests: pixels of bitmaps and windows, and the
// windows of this thread.
#pragma once

#include <windows.h>

#include <string>

#include "controls/backing_image.h"
#include "platform/owned.h"
#include "skin/region_runs.h"
#include "skin/surface_pixels.h"

inline constexpr std::uint32_t kMagenta = RGB(255, 0, 255);

inline PixelGrid PixelsOf(HBITMAP bitmap) {
    SIZE size = BitmapSize(bitmap);
    OwnedMemoryDC dc(::CreateCompatibleDC(nullptr));
    SelectScope select(dc.get(), bitmap);
    return ReadSurfacePixels(dc.get(), size.cx, size.cy);
}

// What the window's client area shows right now.
inline PixelGrid PixelsOnScreen(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    WindowDC dc(window);
    return ReadSurfacePixels(dc.get(), client.right, client.bottom);
}

inline int CountColour(const PixelGrid& grid, std::uint32_t colour) {
    int count = 0;
    for (std::uint32_t pixel : grid.pixels) count += pixel == colour ? 1 : 0;
    return count;
}

struct ThreadWindowSearch {
    const char* className;
    HWND found;
};

inline BOOL CALLBACK MatchThreadWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(param);
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != search->className) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The first top-level window of this thread with that class name.
inline HWND FindThreadWindow(const char* className) {
    ThreadWindowSearch search{className, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchThreadWindow,
                        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A left click in the middle of a child window, as the mouse would make it.
inline void ClickWindow(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(window, WM_LBUTTONUP, 0, at);
}
