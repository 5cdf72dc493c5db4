#include "controls/progress_bar_painter.h"

#include "platform/owned.h"
#include "platform/system_library.h"

namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

GradientFillFn BoundGradientFill() {
    static OwnedModule msimg32 = LoadSystemLibrary("msimg32.dll");
    static GradientFillFn gradientFill = BindExport<GradientFillFn>(msimg32.get(), "GradientFill");
    return gradientFill;
}

void FillColour(HDC dc, const PixelRect& rect, Colour colour) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    OwnedBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, brush.get());
}

void FrameColour(HDC dc, const PixelRect& rect, Colour colour) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    OwnedBrush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &r, brush.get());
}

int Mix(Colour from, Colour to, int shift, int index, int count) {
    int a = static_cast<int>((from >> shift) & 0xFF);
    int b = static_cast<int>((to >> shift) & 0xFF);
    return a + (b - a) * index / count;
}

// Without msimg32 (Windows 95): one solid band per row or column.
void GradientByBands(HDC dc, const GradientStep& step) {
    int count = step.topToBottom ? step.height : step.width;
    for (int i = 0; i < count; ++i) {
        Colour colour = MakeColour(Mix(step.from, step.to, 0, i, count),
                                   Mix(step.from, step.to, 8, i, count),
                                   Mix(step.from, step.to, 16, i, count));
        PixelRect band = step.topToBottom
                             ? PixelRect{step.x, step.y + i, step.x + step.width, step.y + i + 1}
                             : PixelRect{step.x + i, step.y, step.x + i + 1, step.y + step.height};
        FillColour(dc, band, colour);
    }
}

void DrawCaption(HDC dc, const CaptionStep& caption, HFONT font) {
    RECT r{caption.rect.left, caption.rect.top, caption.rect.right, caption.rect.bottom};
    SelectScope useFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextA(dc, caption.text.c_str(), static_cast<int>(caption.text.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void GradientRect(HDC dc, const GradientStep& step) {
    // An empty bar asks for strips of no or negative width: nothing to draw.
    if (step.width <= 0 || step.height <= 0) return;
    GradientFillFn gradientFill = BoundGradientFill();
    if (!gradientFill) return GradientByBands(dc, step);
    VertexColour from = ColourToVertex(step.from);
    VertexColour to = ColourToVertex(step.to);
    TRIVERTEX vertices[2] = {
        {step.x, step.y, from.red, from.green, from.blue, 0},
        {step.x + step.width, step.y + step.height, to.red, to.green, to.blue, 0},
    };
    GRADIENT_RECT rect{0, 1};
    gradientFill(dc, vertices, 2, &rect, 1,
                 step.topToBottom ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void PaintProgressBarSteps(HDC dc, const std::vector<PaintStep>& steps, HFONT captionFont) {
    for (const PaintStep& step : steps) {
        if (const auto* gradient = std::get_if<GradientStep>(&step))
            GradientRect(dc, *gradient);
        else if (const auto* fill = std::get_if<FillStep>(&step))
            FillColour(dc, fill->rect, fill->colour);
        else if (const auto* frame = std::get_if<FrameStep>(&step))
            FrameColour(dc, frame->rect, frame->colour);
        else if (const auto* pixel = std::get_if<PixelStep>(&step))
            ::SetPixelV(dc, pixel->x, pixel->y, pixel->colour);
        else if (const auto* caption = std::get_if<CaptionStep>(&step))
            DrawCaption(dc, *caption, captionFont);
    }
}
