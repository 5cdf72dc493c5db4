#include "app/results_display.h"

#include "platform/fonts.h"

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

OwnedFont PrintFont(int pixelHeight, bool bold) {
    return CreateScreenFont("Tahoma", pixelHeight, bold);
}

// Tahoma at 8 points where it fits; where the system substitutes a wider
// face, a pixel smaller until the congratulations line fits on the panel.
int PrintFontHeight() {
    int height = PointsToPixels(800);
    WindowDC screen(nullptr);
    if (!screen) return height;
    for (; height > 9; --height) {
        OwnedFont font = PrintFont(height, false);
        SelectScope select(screen.get(), font.get());
        SIZE extent{};
        ::GetTextExtentPoint32A(screen.get(), kCongratulations, sizeof kCongratulations - 1,
                                &extent);
        if (extent.cx <= kMessageRoom) break;
    }
    return height;
}

void Refresh(PrintTarget& target) {
    if (!target.window()) return;
    ::InvalidateRect(target.window(), nullptr, FALSE);
    ::UpdateWindow(target.window());
}

}  // namespace

PrintTarget::PrintTarget(BackingImage& image, HWND window)
    : image_(image), window_(window) {
    int height = PrintFontHeight();
    normalFont_ = PrintFont(height, false);
    boldFont_ = PrintFont(height, true);
}

void ShowResults(const std::vector<CheckRow>& rows, ResultsView& view) {
    for (std::size_t i = 0; i < rows.size() && i < static_cast<std::size_t>(kRowCount); ++i) {
        int row = static_cast<int>(i);
        view.SetRowTexts(row, rows[i].need, rows[i].have, kStatusColour);
        DrawVerdictIcon(view, rows[i].verdict != kCheckFailed, kIconLeft,
                        kIconTop + kRowPitch * row);
    }
    view.RefreshResults();
}

void DrawVerdictIcon(ResultsView& view, bool passed, int x, int y) {
    IconPair pair = view.VerdictIcons(passed);
    HDC canvas = view.ResultsCanvas();
    if (!canvas || !pair.icon || !pair.mask) return;
    OwnedMemoryDC source(::CreateCompatibleDC(canvas));
    SIZE maskSize = BitmapSize(pair.mask);
    {
        SelectScope select(source.get(), pair.mask);
        ::BitBlt(canvas, x, y, maskSize.cx, maskSize.cy, source.get(), 0, 0, MERGEPAINT);
    }
    SIZE iconSize = BitmapSize(pair.icon);
    SelectScope select(source.get(), pair.icon);
    ::BitBlt(canvas, x, y, iconSize.cx, iconSize.cy, source.get(), 0, 0, SRCAND);
}

void DrawTextLines(PrintTarget& target, const std::string& text, int x, int y, COLORREF colour,
                   bool clearFirst, bool bold) {
    if (clearFirst) target.image().Clear();
    if (bold) target.SetBold();
    HDC dc = target.image().dc();
    if (!dc) return;
    SelectScope font(dc, target.font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    int top = y;
    for (const std::string& line : Split(text, "\r\n")) {
        ::TextOutA(dc, x, top, line.c_str(), static_cast<int>(line.size()));
        top += lineHeight;
        Refresh(target);
    }
}
