// A bitmap selected into its own memory device context. The bitmap that the
// new DC came with is selected back before either is deleted.
#pragma once

#include "platform/owned.h"

class MemorySurface {
public:
    MemorySurface() = default;
    ~MemorySurface() { Reset(); }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    MemorySurface(MemorySurface&& other) noexcept { *this = std::move(other); }
    MemorySurface& operator=(MemorySurface&& other) noexcept;

    // A colour surface compatible with `reference` (the screen when null),
    // or a black-and-white one. False when the system refused.
    bool Create(HDC reference, int width, int height, bool monochrome = false);
    void Reset() noexcept;

    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    explicit operator bool() const noexcept { return static_cast<bool>(dc_); }

private:
    OwnedMemoryDC dc_;
    OwnedBitmap bitmap_;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
