#include "controls/progress_bar_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStep = 10;  // block 8 plus gap 2
constexpr int kBlock = 8;
constexpr int kSearchBlock = 10;
constexpr int kSearchSpacing = 12;
constexpr int kShade = 6;
constexpr int kShadeLight = 150;

int Channel(Colour colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

// Rounds halves to even, as the fill's edges have always been rounded.
int RoundToEven(double value) { return static_cast<int>(std::nearbyint(value)); }

void AddHorizontalBar(const PixelRect& client, const PixelRect& fill, const BarState& state,
                      std::vector<PaintStep>& steps) {
    const int right = fill.right;
    const int bottom = client.bottom;
    const Colour c = state.colour;
    if (state.scrolling != kScrollingSearching) {
        const Colour light = LightenColour(c, kShadeLight);
        steps.push_back(GradientStep{2, 3, right - 2, kShade, light, c, true});
        steps.push_back(FillStep{{2, 8, right, bottom - 6}, c});
        steps.push_back(GradientStep{2, bottom - 8, right - 2, kShade, c, light, true});
        return;
    }
    // Three fading blocks trailing to the right of the fill edge.
    for (int i = 0; i < 3; ++i) {
        const int x = right + kSearchSpacing * i;
        const Colour a = LightenColour(c, 220 - 40 * i);
        const Colour b = LightenColour(c, 200 - 40 * i);
        steps.push_back(GradientStep{x, 3, kSearchBlock, kShade, a, b, true});
        steps.push_back(FillStep{{x, 8, x + kSearchBlock, bottom - 6}, b});
        steps.push_back(GradientStep{x, bottom - 8, kSearchBlock, kShade, b, a, true});
    }
}

void AddVerticalBar(const PixelRect& client, const PixelRect& fill, const BarState& state,
                    std::vector<PaintStep>& steps) {
    const int top = fill.top;
    const int right = client.right;
    const int bottom = client.bottom;
    const Colour c = state.colour;
    if (state.scrolling != kScrollingSearching) {
        // The shading runs on past the client area; the DC clips it.
        const Colour light = LightenColour(c, kShadeLight);
        steps.push_back(GradientStep{2, top, kShade, bottom, light, c, false});
        steps.push_back(FillStep{{7, top, right - 8, bottom}, c});
        steps.push_back(GradientStep{right - 8, top, kShade, bottom, c, light, false});
        return;
    }
    // The same three blocks stacked downward; their strips shade top to bottom.
    for (int i = 0; i < 3; ++i) {
        const int y = top + kSearchSpacing * i;
        const Colour a = LightenColour(c, 220 - 40 * i);
        const Colour b = LightenColour(c, 200 - 40 * i);
        steps.push_back(GradientStep{2, y, kShade, kSearchBlock, a, b, true});
        steps.push_back(FillStep{{8, y, right - 8, y + kSearchBlock}, b});
        steps.push_back(GradientStep{right - 8, y, kShade, kSearchBlock, b, a, true});
    }
}

void AddBlockGaps(const PixelRect& client, const PixelRect& fill, int orientation,
                  std::vector<PaintStep>& steps) {
    if (orientation == 0) {
        for (int x = fill.left + kBlock; x <= fill.right; x += kStep)
            steps.push_back(FillStep{{x + 2, client.top, x + 4, client.bottom}, kWhite});
    } else {
        for (int y = fill.bottom; y >= fill.top + kBlock; y -= kStep)
            steps.push_back(FillStep{{client.left, y - 2, client.right, y}, kWhite});
    }
}

void AddFrame(const PixelRect& client, std::vector<PaintStep>& steps) {
    const int l = client.left, t = client.top, r = client.right, b = client.bottom;
    steps.push_back(FrameStep{{l + 1, t + 1, r, b}, kFrameLight});
    steps.push_back(FrameStep{{l + 1, t + 2, r - 1, b - 1}, kFrameShadow});
    steps.push_back(FrameStep{client, kFrameLight});
    steps.push_back(PixelStep{1, 1, kFrameLight});
    steps.push_back(PixelStep{r - 2, 1, kFrameLight});
    steps.push_back(PixelStep{1, b - 2, kFrameShadow});
    steps.push_back(PixelStep{r - 2, b - 2, kFrameShadow});
}

}  // namespace

Colour TranslateSysColour(Colour colour, const std::function<Colour(int)>& systemColour) {
    if ((colour & kSystemColourFlag) == 0) return colour;
    return systemColour(static_cast<int>(colour & ~kSystemColourFlag));
}

Colour LightenColour(Colour colour, int amount) {
    auto lighten = [amount](int c) { return std::min(255, c * (255 - amount) / 255 + amount); };
    return MakeColour(lighten(Channel(colour, 0)), lighten(Channel(colour, 8)),
                      lighten(Channel(colour, 16)));
}

VertexColour ColourToVertex(Colour colour) {
    return VertexColour{static_cast<std::uint16_t>(Channel(colour, 0) << 8),
                        static_cast<std::uint16_t>(Channel(colour, 8) << 8),
                        static_cast<std::uint16_t>(Channel(colour, 16) << 8)};
}

double FilledFraction(int min, int max, int value) {
    double fraction = max != min ? (double(value) - min) / (double(max) - min) : 0.1;
    return std::clamp(fraction, 0.0, 1.0);
}

PixelRect FillRectangle(const PixelRect& client, double fraction, int orientation) {
    PixelRect fill = client;
    if (orientation == 0) {
        int p = RoundToEven((client.right - client.left) * fraction + client.left);
        fill.right = std::max(p - (p - fill.left) % kStep, client.left);
    } else {
        // Measured from the top, and two per cent ahead of the value.
        double fromTop = 1 - fraction - 0.02;
        int p = RoundToEven((client.bottom - client.top) * fromTop + client.top);
        fill.top = std::min(p - (p - fill.bottom) % kStep, client.bottom);
    }
    return fill;
}

BarPlan PlanProgressBar(const PixelRect& client, const BarState& state) {
    BarPlan plan;
    plan.fraction = FilledFraction(state.min, state.max, state.value);
    plan.fill = FillRectangle(client, plan.fraction, state.orientation);
    plan.steps.push_back(FillStep{client, kWhite});
    if (state.orientation == 0)
        AddHorizontalBar(client, plan.fill, state, plan.steps);
    else
        AddVerticalBar(client, plan.fill, state, plan.steps);
    if (state.scrolling == kScrollingBlocks)
        AddBlockGaps(client, plan.fill, state.orientation, plan.steps);
    if (state.showText)
        plan.steps.push_back(CaptionStep{
            client, state.scrolling == kScrollingSearching ? "Searching.." : state.text});
    AddFrame(client, plan.steps);
    return plan;
}

std::vector<PixelRect> RoundedCornerCuts(int width, int height) {
    const int w = width, h = height;
    return {
        {0, 0, 2, 1},         {0, h - 1, 2, h},         {w - 2, 0, w, 1},
        {w - 2, h - 1, w, h}, {0, 1, 1, 2},             {0, h - 2, 1, h - 1},
        {w - 1, 1, w, 2},     {w - 1, h - 2, w, h - 1},
    };
}
