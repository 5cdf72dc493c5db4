#include "controls/backing_image.h"

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

bool BackingImage::Resize(int width, int height) {
    if (!canvas_.Create(nullptr, width, height)) return false;
    Clear();
    return true;
}

void BackingImage::SetBackground(HBITMAP picture) {
    background_.Reset();
    if (picture) {
        SIZE size = BitmapSize(picture);
        if (background_.Create(nullptr, size.cx, size.cy)) {
            OwnedMemoryDC source(::CreateCompatibleDC(nullptr));
            SelectScope select(source.get(), picture);
            ::BitBlt(background_.dc(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
        }
    }
    Clear();
}

void BackingImage::SetBackColour(COLORREF colour) { backColour_ = colour; }

void BackingImage::Clear() {
    if (!canvas_) return;
    RECT all{0, 0, canvas_.width(), canvas_.height()};
    OwnedBrush brush(::CreateSolidBrush(backColour_));
    ::FillRect(canvas_.dc(), &all, brush.get());
    if (background_)
        ::BitBlt(canvas_.dc(), 0, 0, background_.width(), background_.height(), background_.dc(),
                 0, 0, SRCCOPY);
}

void BackingImage::PaintWindow(HWND window) const {
    PaintScope paint(window);
    if (!canvas_) return;
    const RECT& area = paint.dirty();
    ::BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
             canvas_.dc(), area.left, area.top, SRCCOPY);
}
