// A self-drawn progress bar in the style of Windows XP: a white trough with a
// light frame and rounded corners, filled from the start edge with shaded
// blocks, a continuous bar or a "searching" animation, and an optional
// centred caption. Every redraw paints into a back buffer that is then
// copied to the window in one piece.
//
// Setting Value, Text or ShowText redraws; the other properties take effect
// at the next redraw, so callers set Value or Text last.
#pragma once

#include <windows.h>

#include <string>

#include "controls/progress_bar_geometry.h"
#include "controls/property_store.h"
#include "platform/memory_surface.h"
#include "platform/owned.h"

class XP_ProgressBar {
public:
    XP_ProgressBar() = default;
    ~XP_ProgressBar();
    XP_ProgressBar(const XP_ProgressBar&) = delete;
    XP_ProgressBar& operator=(const XP_ProgressBar&) = delete;

    // Creates the bar as a child of `parent`. The stored properties in
    // `store`, when given, are applied over the defaults.
    bool Create(HWND parent, int x, int y, int width, int height,
                const PropertyStore* store = nullptr, bool visible = true);
    // The control's own window.
    HWND Window() const noexcept { return window_; }

    // The stored colour is already translated: a system colour
    // (top bit set) becomes its current RGB value when assigned.
    Colour Color() const noexcept { return state_.colour; }
    void SetColor(Colour colour);
    HFONT Font() const noexcept { return font_.get(); }
    void SetFont(OwnedFont font) { font_ = std::move(font); }
    // The window whose client rectangle is drawn (by default our own).
    HWND hWnd() const noexcept { return drawnWindow_; }
    void SethWnd(HWND window) { drawnWindow_ = window; }
    // The DC drawn on: the back buffer, or our own window's DC when no
    // buffer could be made. Setting it (the value is ignored) re-sizes the
    // buffer to the control.
    HDC hDC() const noexcept { return drawingDC_; }
    void SethDC(HDC ignored = nullptr);

    int Min() const noexcept { return state_.min; }
    void SetMin(int min) { state_.min = min; }
    int Max() const noexcept { return state_.max; }
    void SetMax(int max) { state_.max = max; }
    int Value() const noexcept { return state_.value; }
    void SetValue(int value);
    // 0 horizontal (left to right), anything else vertical (bottom to top).
    int Orientation() const noexcept { return state_.orientation; }
    void SetOrientation(int orientation) { state_.orientation = orientation; }
    // 0 blocks with gaps, 2 searching animation, anything else continuous.
    int Scrolling() const noexcept { return state_.scrolling; }
    void SetScrolling(int scrolling) { state_.scrolling = scrolling; }
    bool ShowText() const noexcept { return state_.showText; }
    void SetShowText(bool showText);
    const std::string& Text() const noexcept { return state_.text; }
    void SetText(const std::string& text);

    void Show(bool visible);
    bool Visible() const;

    // Paints the whole control, then shows it.
    void DrawProgressBar();
    // Copies the back buffer to `target`; a width or height of 0 or less
    // means the buffer's own.
    void pDraw(HDC target, int sourceX = 0, int sourceY = 0, int width = 0, int height = 0,
               int destinationX = 0, int destinationY = 0) const;

    // The persisted properties: Color, Max, Min, Orientation, Scrolling,
    // ShowText and Value, applied through their setters in that order.
    void ReadProperties(const PropertyStore& store);
    void WriteProperties(PropertyStore& store) const;

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { window_ = hwnd; }
    void DetachWindow();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Initialise();
    void Render();
    SIZE ScaleSize() const;
    HDC EnsureBackBuffer(int width, int height);
    bool CreateBackBuffer(int width, int height);
    void ReleaseBackBuffer() noexcept { backBuffer_.Reset(); }
    void ApplyRoundedRegion(int width, int height);

    HWND window_ = nullptr;
    HWND drawnWindow_ = nullptr;
    HDC drawingDC_ = nullptr;  // borrowed: the buffer's or our window's own DC
    bool buffered_ = false;
    MemorySurface backBuffer_;
    OwnedFont font_;
    BarState state_;
    SIZE regionSize_{0, 0};
};

// The persisted defaults.
inline constexpr Colour kDefaultBarColour = kHighlightSystemColour;
inline constexpr int kDefaultBarMax = 100;
