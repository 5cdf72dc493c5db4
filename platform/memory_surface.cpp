#include "platform/memory_surface.h"

MemorySurface& MemorySurface::operator=(MemorySurface&& other) noexcept {
    if (this != &other) {
        Reset();
        dc_ = std::move(other.dc_);
        bitmap_ = std::move(other.bitmap_);
        original_ = std::exchange(other.original_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

bool MemorySurface::Create(HDC reference, int width, int height, bool monochrome) {
    Reset();
    if (width <= 0 || height <= 0) return false;
    WindowDC screen(nullptr);
    HDC compatibleWith = reference ? reference : screen.get();
    OwnedMemoryDC dc(::CreateCompatibleDC(compatibleWith));
    if (!dc) return false;
    OwnedBitmap bitmap(monochrome ? ::CreateBitmap(width, height, 1, 1, nullptr)
                                  : ::CreateCompatibleBitmap(compatibleWith, width, height));
    if (!bitmap) return false;
    original_ = ::SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    return true;
}

void MemorySurface::Reset() noexcept {
    if (dc_ && original_) ::SelectObject(dc_.get(), original_);
    original_ = nullptr;
    dc_.reset();
    bitmap_.reset();
    width_ = height_ = 0;
}
