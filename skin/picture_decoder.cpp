#include "skin/picture_decoder.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>


namespace {

// COM for the length of one decode; the platform's GIF reader is a COM
// component on some systems, and the caller's own COM state is left as found.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (pointer_) pointer_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface** put() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface* get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// An IStream over a private copy of the bytes; the stream frees the copy.
bool StreamOverCopy(const void* bytes, std::size_t size, ComPtr<IStream>& stream) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(memory);
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        ::GlobalFree(memory);
        return false;
    }
    return true;
}

// A bottom-up 32-bit section, so the pixels can be put right after drawing.
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

OwnedBitmap DecodePicture(const void* bytes, std::size_t size, COLORREF transparentAs) {
    if (!bytes || size == 0) return {};
    ComScope com;
    ComPtr<IStream> stream;
    if (!StreamOverCopy(bytes, size, stream)) return {};
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(picture.put()))) ||
        !picture)
        return {};

    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)) || !handle)
        return {};
    BITMAP info{};
    HBITMAP decoded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    if (!::GetObjectA(decoded, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return {};

    // The picture object owns its bitmap; render it into one of our own on
    // the colour that transparent pixels should take.
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    WindowDC screen(nullptr);
    void* bits = nullptr;
    OwnedBitmap result = NewSection(screen.get(), info.bmWidth, info.bmHeight, bits);
    OwnedMemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!result || !dc || !bits) return {};
    {
        SelectScope select(dc.get(), result.get());
        RECT all{0, 0, info.bmWidth, info.bmHeight};
        OwnedBrush ground(::CreateSolidBrush(transparentAs));
        ::FillRect(dc.get(), &all, ground.get());
        // Pictures are addressed bottom-up in HIMETRIC: start at the height
        // and go up by it to draw the right way round.
        if (FAILED(picture->Render(dc.get(), 0, 0, info.bmWidth, info.bmHeight, 0, himetricHeight,
                                   himetricWidth, -himetricHeight, nullptr)))
            return {};
        ::GdiFlush();
    }
    // Rendering may leave an alpha byte in the unused fourth byte; GDI's
    // colour comparisons (the colour-to-mask copies) would then miss
    // colours that look the same.
    auto* pixel = static_cast<std::uint32_t*>(bits);
    std::size_t count =
        static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight);
    for (std::size_t i = 0; i < count; ++i) pixel[i] &= 0x00FFFFFFu;
    return result;
}
