#include "skin/graphics.h"

namespace {

void Repaint(HWND window) {
    if (!window) return;
    ::InvalidateRect(window, nullptr, FALSE);
    ::UpdateWindow(window);
}

// Keeps a DC's colours for the length of a scope.
class DcColours {
public:
    explicit DcColours(HDC dc)
        : dc_(dc), back_(::GetBkColor(dc)), text_(::GetTextColor(dc)) {}
    ~DcColours() {
        ::SetBkColor(dc_, back_);
        ::SetTextColor(dc_, text_);
    }
    DcColours(const DcColours&) = delete;
    DcColours& operator=(const DcColours&) = delete;

private:
    HDC dc_;
    COLORREF back_;
    COLORREF text_;
};

}  // namespace

std::int32_t BitmapWidth(const SkinImage& entry) { return BitmapSize(entry.Picture.get()).cx; }
std::int32_t BitmapHeight(const SkinImage& entry) { return BitmapSize(entry.Picture.get()).cy; }

bool DrawListImage(MemorySurface& buffer, HWND target, const SkinImageList& list,
                   std::int16_t index) {
    if (!ImageHasTag(list, index)) return false;
    const SkinImage& entry = list[static_cast<std::size_t>(index)];
    int width = BitmapWidth(entry);
    int height = BitmapHeight(entry);
    if (width <= 0 || height <= 0) return true;  // nothing decoded, nothing to show
    if (buffer.width() != width || buffer.height() != height) {
        if (!buffer.Create(nullptr, width, height)) return true;
    }
    {
        OwnedMemoryDC source(::CreateCompatibleDC(buffer.dc()));
        SelectScope select(source.get(), entry.Picture.get());
        ::BitBlt(buffer.dc(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }
    WindowDC surface(target);
    if (surface) ::BitBlt(surface.get(), 0, 0, width, height, buffer.dc(), 0, 0, SRCCOPY);
    return true;
}

void ApplyBackground(HWND window, BackingImage& image, const SkinImageStore& store,
                     std::int32_t kind, PictureBox* logoStrip) {
    if (logoStrip && store.imgLstBG.size() > 1)
        logoStrip->SetPicture(store.imgLstBG[1].Picture.get());
    const SkinImageList& list = kind == 0 ? store.imgLstBG : store.imgLstMsgBG;
    std::size_t index = kind == 0 ? 0 : 1;
    if (index < list.size()) image.SetBackground(list[index].Picture.get());
    Repaint(window);
}

bool CreateMemorySurface(HWND window, int width, int height, MemorySurface& surface,
                         bool blackAndWhite) {
    if (blackAndWhite) return surface.Create(nullptr, width, height, true);
    WindowDC reference(window);
    return surface.Create(reference.get(), width, height);
}

bool ReplaceColourOn(HDC target, int width, int height, COLORREF oldColour, COLORREF newColour) {
    MemorySurface mask;
    if (!CreateMemorySurface(nullptr, width, height, mask, true)) return false;
    MemorySurface colour;
    if (!colour.Create(target, width, height)) return false;
    DcColours keep(target);
    RECT all{0, 0, width, height};

    // The mask: white where the target has the old colour, black elsewhere.
    ::SetBkColor(target, oldColour);
    ::BitBlt(mask.dc(), 0, 0, width, height, target, 0, 0, SRCCOPY);
    // The new colour where the mask is white, black elsewhere.
    {
        OwnedBrush brush(::CreateSolidBrush(newColour));
        ::FillRect(colour.dc(), &all, brush.get());
    }
    ::SetBkColor(colour.dc(), RGB(255, 255, 255));
    ::SetTextColor(colour.dc(), RGB(0, 0, 0));
    ::BitBlt(colour.dc(), 0, 0, width, height, mask.dc(), 0, 0, SRCAND);
    // Invert the mask, punch black holes into the target, then fill them.
    ::FillRect(mask.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::BitBlt(mask.dc(), 0, 0, width, height, target, 0, 0, SRCINVERT);
    ::SetBkColor(target, RGB(255, 255, 255));
    ::SetTextColor(target, RGB(0, 0, 0));
    ::BitBlt(target, 0, 0, width, height, mask.dc(), 0, 0, SRCAND);
    ::BitBlt(target, 0, 0, width, height, colour.dc(), 0, 0, SRCPAINT);
    return true;
}

void ReplaceColour(HWND window, BackingImage& image, COLORREF oldColour, COLORREF newColour) {
    if (!image.dc()) return;
    if (ReplaceColourOn(image.dc(), image.width(), image.height(), oldColour, newColour))
        Repaint(window);
}
