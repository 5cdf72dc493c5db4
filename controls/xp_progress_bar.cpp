#include "controls/xp_progress_bar.h"

#include "controls/progress_bar_painter.h"
#include "platform/fonts.h"
#include "platform/window_class.h"

namespace {

constexpr char kClassName[] = "TSCheckXPProgressBar";

Colour SystemColour(int index) { return ::GetSysColor(index); }

OwnedFont CreateCaptionFont() { return CreateScreenFont("Tahoma", PointsToPixels(800)); }

}  // namespace

XP_ProgressBar::~XP_ProgressBar() {
    if (window_) ::DestroyWindow(window_);
    ReleaseBackBuffer();
}

bool XP_ProgressBar::Create(HWND parent, int x, int y, int width, int height,
                            const PropertyStore* store, bool visible) {
    // CS_OWNDC: the window keeps one DC for its life, which is the drawing
    // DC whenever no back buffer can be made.
    if (window_ || !EnsureWindowClass(kClassName, ForwardToOwner<XP_ProgressBar>, CS_OWNDC))
        return false;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    ::CreateWindowExA(0, kClassName, "", style, x, y, width, height, parent, nullptr,
                      ::GetModuleHandleA(nullptr), this);
    if (!window_) return false;
    if (store) ReadProperties(*store);
    return true;
}

void XP_ProgressBar::Initialise() {
    font_ = CreateCaptionFont();
    SethDC();
    drawnWindow_ = window_;
    state_ = BarState{};
    state_.max = kDefaultBarMax;
    state_.colour = TranslateSysColour(kDefaultBarColour, SystemColour);
    DrawProgressBar();
}

void XP_ProgressBar::SetColor(Colour colour) {
    state_.colour = TranslateSysColour(colour, SystemColour);
}

void XP_ProgressBar::SetValue(int value) {
    state_.value = value;
    DrawProgressBar();
}

void XP_ProgressBar::SetShowText(bool showText) {
    state_.showText = showText;
    DrawProgressBar();
}

void XP_ProgressBar::SetText(const std::string& text) {
    state_.text = text;
    DrawProgressBar();
}

void XP_ProgressBar::Show(bool visible) {
    if (window_) ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

bool XP_ProgressBar::Visible() const { return window_ && ::IsWindowVisible(window_); }

SIZE XP_ProgressBar::ScaleSize() const {
    RECT client{};
    if (window_) ::GetClientRect(window_, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

void XP_ProgressBar::SethDC(HDC) {
    SIZE size = ScaleSize();
    HDC buffer = EnsureBackBuffer(size.cx, size.cy);
    buffered_ = buffer != nullptr;
    drawingDC_ = buffered_ ? buffer : (window_ ? ::GetDC(window_) : nullptr);
}

HDC XP_ProgressBar::EnsureBackBuffer(int width, int height) {
    if (backBuffer_) {
        // A buffer at least as large in both directions is kept.
        if (width > backBuffer_.width() || height > backBuffer_.height())
            CreateBackBuffer(width, height);
    } else if (width > 0 && height > 0) {
        CreateBackBuffer(width, height);
    }
    return backBuffer_.dc();
}

bool XP_ProgressBar::CreateBackBuffer(int width, int height) {
    ReleaseBackBuffer();
    OwnedMemoryDC display(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    return display && backBuffer_.Create(display.get(), width, height);
}

void XP_ProgressBar::Render() {
    if (!drawingDC_ || !drawnWindow_) return;
    RECT client{};
    ::GetClientRect(drawnWindow_, &client);
    BarPlan plan = PlanProgressBar({client.left, client.top, client.right, client.bottom}, state_);
    PaintProgressBarSteps(drawingDC_, plan.steps, font_.get());
}

void XP_ProgressBar::DrawProgressBar() {
    Render();
    if (buffered_ && window_) {
        WindowDC own(window_);
        SIZE size = ScaleSize();
        pDraw(own.get(), 0, 0, size.cx, size.cy, 0, 0);
    }
}

void XP_ProgressBar::pDraw(HDC target, int sourceX, int sourceY, int width, int height,
                           int destinationX, int destinationY) const {
    if (!backBuffer_ || !target) return;
    if (width <= 0) width = backBuffer_.width();
    if (height <= 0) height = backBuffer_.height();
    ::BitBlt(target, destinationX, destinationY, width, height, backBuffer_.dc(), sourceX,
             sourceY, SRCCOPY);
}

void XP_ProgressBar::ApplyRoundedRegion(int width, int height) {
    OwnedRegion region(::CreateRectRgn(0, 0, width, height));
    if (!region) return;
    for (const PixelRect& cut : RoundedCornerCuts(width, height)) {
        OwnedRegion corner(::CreateRectRgn(cut.left, cut.top, cut.right, cut.bottom));
        if (corner) ::CombineRgn(region.get(), region.get(), corner.get(), RGN_DIFF);
    }
    // The window owns the region from here on.
    if (::SetWindowRgn(window_, region.get(), TRUE)) region.Release();
    regionSize_ = SIZE{width, height};
}

void XP_ProgressBar::ReadProperties(const PropertyStore& store) {
    const auto defaultColour = static_cast<std::int32_t>(kDefaultBarColour);
    SetColor(static_cast<Colour>(store.ReadLong("Color", defaultColour)));
    SetMax(store.ReadLong("Max", kDefaultBarMax));
    SetMin(store.ReadLong("Min", 0));
    SetOrientation(store.ReadLong("Orientation", 0));
    SetScrolling(store.ReadLong("Scrolling", kScrollingBlocks));
    SetShowText(store.ReadBoolean("ShowText", false));
    SetValue(store.ReadLong("Value", 0));
}

void XP_ProgressBar::WriteProperties(PropertyStore& store) const {
    store.WriteLong("Color", static_cast<std::int32_t>(state_.colour),
                    static_cast<std::int32_t>(kDefaultBarColour));
    store.WriteLong("Max", state_.max, kDefaultBarMax);
    store.WriteLong("Min", state_.min, 0);
    store.WriteLong("Orientation", state_.orientation, 0);
    store.WriteLong("Scrolling", state_.scrolling, kScrollingBlocks);
    store.WriteBoolean("ShowText", state_.showText, false);
    store.WriteLong("Value", state_.value, 0);
}

void XP_ProgressBar::DetachWindow() {
    if (drawnWindow_ == window_) drawnWindow_ = nullptr;
    if (!buffered_) drawingDC_ = nullptr;  // the window's own DC goes with it
    window_ = nullptr;
}

LRESULT XP_ProgressBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Initialise();
            return 0;
        case WM_SIZE:
            // The back buffer follows the control's size.
            SethDC();
            return 0;
        case WM_PAINT: {
            PaintScope paint(window_);
            Render();
            if (buffered_) pDraw(paint.dc());
            // Only when the size changed: setting a region repaints the
            // window, and doing it on every paint would never stop.
            SIZE size = ScaleSize();
            if (size.cx != regionSize_.cx || size.cy != regionSize_.cy)
                ApplyRoundedRegion(size.cx, size.cy);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every paint covers the whole control
        default:
            return ::DefWindowProcA(window_, message, wParam, lParam);
    }
}
