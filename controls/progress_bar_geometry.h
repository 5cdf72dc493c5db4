// What the XP-style progress bar draws, as plain data: the filled fraction,
// the fill rectangle, the colours and the ordered list of drawing steps.
// progress_bar_painter.h turns the steps into GDI calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "controls/colour_value.h"


inline constexpr Colour kSystemColourFlag = 0x80000000u;
inline constexpr Colour kHighlightSystemColour = 0x8000000Du;  // the default bar colour
inline constexpr Colour kWhite = MakeColour(255, 255, 255);
inline constexpr Colour kFrameLight = MakeColour(250, 250, 250);
inline constexpr Colour kFrameShadow = MakeColour(193, 193, 193);

// A system colour becomes its RGB value (looked up by index); any other
// colour is returned unchanged.
Colour TranslateSysColour(Colour colour, const std::function<Colour(int index)>& systemColour);

// Each channel c becomes c * (255 - amount) / 255 + amount, at most 255.
Colour LightenColour(Colour colour, int amount);

// The three 16-bit channels GradientFill takes: each 8-bit channel * 256.
struct VertexColour {
    std::uint16_t red, green, blue;
};
VertexColour ColourToVertex(Colour colour);

struct PixelRect {
    int left, top, right, bottom;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// (value - min) / (max - min) clamped to 0..1; 0.1 when min equals max.
double FilledFraction(int min, int max, int value);

// Orientation 0 fills left to right, anything else bottom to top, in whole
// 10-pixel steps (block 8 plus gap 2), rounded down.
PixelRect FillRectangle(const PixelRect& client, double fraction, int orientation);

// Drawing steps, in the order they are drawn.
struct GradientStep {  // x, y, width, height; `from` at the start edge
    int x, y, width, height;
    Colour from, to;
    bool topToBottom;  // false: left to right
    friend bool operator==(const GradientStep&, const GradientStep&) = default;
};
struct FillStep {
    PixelRect rect;
    Colour colour;
    friend bool operator==(const FillStep&, const FillStep&) = default;
};
struct FrameStep {
    PixelRect rect;
    Colour colour;
    friend bool operator==(const FrameStep&, const FrameStep&) = default;
};
struct PixelStep {
    int x, y;
    Colour colour;
    friend bool operator==(const PixelStep&, const PixelStep&) = default;
};
struct CaptionStep {  // black, centred on one line, transparent background
    PixelRect rect;
    std::string text;
    friend bool operator==(const CaptionStep&, const CaptionStep&) = default;
};
using PaintStep = std::variant<GradientStep, FillStep, FrameStep, PixelStep, CaptionStep>;

// Scrolling modes.
inline constexpr int kScrollingBlocks = 0;
inline constexpr int kScrollingContinuous = 1;
inline constexpr int kScrollingSearching = 2;

struct BarState {
    int min = 0;
    int max = 100;
    int value = 0;
    int orientation = 0;
    int scrolling = kScrollingBlocks;
    Colour colour = 0;  // already translated
    bool showText = false;
    std::string text;
};

struct BarPlan {
    double fraction = 0;
    PixelRect fill{};
    std::vector<PaintStep> steps;
};

// Everything one redraw paints, from a white trough to the frame.
BarPlan PlanProgressBar(const PixelRect& client, const BarState& state);

// The rectangles cut from a width x height window to round its corners:
// three pixels at each corner.
std::vector<PixelRect> RoundedCornerCuts(int width, int height);
