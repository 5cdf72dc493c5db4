// What a window or picture shows, kept in a memory bitmap so that everything
// drawn on it survives being covered and is repainted from here on WM_PAINT.
// The background picture is kept apart, so a clear returns to it.
#pragma once

#include "platform/memory_surface.h"

class BackingImage {
public:
    // Sizes the image; the content is lost and cleared to the background.
    bool Resize(int width, int height);

    // Takes a copy of `picture` as the background (drawn at 0,0 at its own
    // size) and clears to it. A null picture leaves only the back colour.
    void SetBackground(HBITMAP picture);
    void SetBackColour(COLORREF colour);

    // Erases all drawing: the background picture again.
    void Clear();

    HDC dc() const noexcept { return canvas_.dc(); }
    HBITMAP bitmap() const noexcept { return canvas_.bitmap(); }
    HBITMAP background() const noexcept { return background_.bitmap(); }
    int width() const noexcept { return canvas_.width(); }
    int height() const noexcept { return canvas_.height(); }

    // Answers a window's WM_PAINT: the part to repaint, from this image.
    void PaintWindow(HWND window) const;

private:
    MemorySurface canvas_;
    MemorySurface background_;
    COLORREF backColour_ = RGB(255, 255, 255);
};

// Pixel size of a bitmap (0 x 0 for none).
SIZE BitmapSize(HBITMAP bitmap);
