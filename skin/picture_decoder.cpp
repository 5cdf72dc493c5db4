#include "skin/picture_decoder.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The skin is a few hundred pixels each way; anything far larger is not ours.
constexpr LONG kLargestSide = 4096;

template <typename Record>
bool ReadRecord(const void* bytes, std::size_t size, std::size_t offset, Record& out) {
    if (offset > size || size - offset < sizeof out) return false;
    std::memcpy(&out, static_cast<const char*>(bytes) + offset, sizeof out);
    return true;
}

// A bottom-up 32-bit section, so the colours come out exactly as the
// palette gives them whatever the screen's depth.
OwnedBitmap NewSection(HDC reference, int width, int height, void*& bits) {
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof layout.bmiHeader;
    layout.bmiHeader.biWidth = width;
    layout.bmiHeader.biHeight = height;
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = 32;
    layout.bmiHeader.biCompression = BI_RGB;
    return OwnedBitmap(::CreateDIBSection(reference, &layout, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace

OwnedBitmap DecodePicture(const void* bytes, std::size_t size) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (!bytes || !ReadRecord(bytes, size, 0, file) || file.bfType != 0x4D42 /* "BM" */ ||
        !ReadRecord(bytes, size, sizeof file, info) || info.biSize < sizeof info)
        return {};
    const LONG width = info.biWidth, height = info.biHeight;
    const bool rle8 = info.biCompression == BI_RLE8 && info.biBitCount == 8;
    const bool plain = info.biCompression == BI_RGB &&
                       (info.biBitCount == 8 || info.biBitCount == 24 || info.biBitCount == 32);
    // Run-length coded bitmaps are bottom-up by definition.
    if ((!rle8 && !plain) || info.biPlanes != 1 || width <= 0 || width > kLargestSide ||
        height <= 0 || height > kLargestSide || info.biClrUsed > 256)
        return {};

    // The palette follows the header; the pixel data starts where the file
    // header says, and must lie wholly inside the bytes.
    std::size_t paletteEntries = info.biBitCount == 8 ? (info.biClrUsed ? info.biClrUsed : 256) : 0;
    std::size_t headerEnd = sizeof file + info.biSize + paletteEntries * sizeof(RGBQUAD);
    if (headerEnd > size || file.bfOffBits < headerEnd || file.bfOffBits >= size) return {};
    std::size_t dataSize = size - file.bfOffBits;
    std::size_t stride = ((static_cast<std::size_t>(width) * info.biBitCount + 31) / 32) * 4;
    if (plain && dataSize < stride * static_cast<std::size_t>(height)) return {};

    // GDI reads the header, palette and data as one BITMAPINFO; the copy
    // also gives it the size of the coded data, which it walks no further.
    const auto* source = static_cast<const char*>(bytes);
    std::size_t layoutSize = info.biSize + paletteEntries * sizeof(RGBQUAD);
    std::vector<std::uint32_t> layoutWords((layoutSize + 3) / 4);
    auto* layout = reinterpret_cast<BITMAPINFO*>(layoutWords.data());
    std::memcpy(layout, source + sizeof file, layoutSize);
    if (rle8) layout->bmiHeader.biSizeImage = static_cast<DWORD>(dataSize);

    WindowDC screen(nullptr);
    void* bits = nullptr;
    OwnedBitmap result = NewSection(screen.get(), width, height, bits);
    int rows = 0;
    if (result && bits) {
        // Coded data may skip pixels; they stay white rather than undefined.
        std::memset(bits, 0xFF, static_cast<std::size_t>(width) * height * 4);
        rows = ::SetDIBits(screen.get(), result.get(), 0, static_cast<UINT>(height),
                           source + file.bfOffBits, layout, DIB_RGB_COLORS);
    }
    if (rows != height) return {};
    // GDI leaves the unused fourth byte as it was; colour comparisons (the
    // colour-to-mask copies) must not see it.
    ::GdiFlush();
    auto* pixel = static_cast<std::uint32_t*>(bits);
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) pixel[i] &= 0x00FFFFFFu;
    return result;
}
