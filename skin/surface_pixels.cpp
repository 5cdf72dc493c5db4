#include "skin/surface_pixels.h"

#include "platform/owned.h"

PixelGrid ReadSurfacePixels(HDC source, std::int32_t width, std::int32_t height) {
    PixelGrid grid;
    if (!source || width <= 0 || height <= 0) return grid;
    // A top-down 32-bit section: its memory holds the pixels as B, G, R, 0.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap section(::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    OwnedMemoryDC dc(::CreateCompatibleDC(source));
    if (!section || !dc || !bits) return grid;
    {
        SelectScope select(dc.get(), section.get());
        ::BitBlt(dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    const auto* quads = static_cast<const std::uint32_t*>(bits);
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    grid.width = width;
    grid.height = height;
    grid.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t q = quads[i];
        // 0x00RRGGBB in memory order B,G,R -> colour value 0x00BBGGRR.
        grid.pixels[i] = ((q & 0xFFu) << 16) | (q & 0xFF00u) | ((q >> 16) & 0xFFu);
    }
    return grid;
}
