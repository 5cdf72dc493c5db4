// The main window's layout, and the colours and texts that more than one
// part of the program draws on it. The main skin art is drawn for this size.
#pragma once

#include "controls/colour_value.h"
#include "skin/skin_catalogue.h"

inline constexpr int kMainWidth = kMainArtWidth;
inline constexpr int kMainHeight = kMainArtHeight;

// The five result rows: a "need" and a "have" label each, and a verdict
// icon at the right, in rows of its own pitch.
inline constexpr int kRowCount = 5;
inline constexpr int kRowTops[kRowCount] = {118, 150, 184, 217, 250};
inline constexpr int kNeedLeft = 177;
inline constexpr int kHaveLeft = 352;
inline constexpr int kHaveRight = 520;
inline constexpr int kLabelHeight = 16;
inline constexpr int kIconLeft = 525;
inline constexpr int kIconTop = 111;
inline constexpr int kRowPitch = 34;

// The controls' rectangles.
struct ControlBox {
    int left, top, width, height;
};
inline constexpr ControlBox kCloseButtonBox{541, 12, 32, 32};
inline constexpr ControlBox kRunButtonBox{222, 347, 145, 38};
inline constexpr ControlBox kLogoStripBox{16, 58, 131, 18};
inline constexpr ControlBox kProgressBarBox{33, 345, 521, 25};

// The lines printed below the rows: status and congratulations, and the
// failure text a little further left.
inline constexpr int kMessageLeft = 32;
inline constexpr int kFailureLeft = 26;
inline constexpr int kMessageTop = 300;
// Room the longest line must fit in, from kMessageLeft.
inline constexpr int kMessageRoom = kMainWidth - kMessageLeft - 16;

inline constexpr Colour kStatusColour = MakeColour(105, 105, 107);  // rows and status lines
inline constexpr Colour kAccentColour = MakeColour(245, 123, 32);   // failures, the download bar
inline constexpr Colour kErrorColour = kAccentColour;

// The longest line the program prints; the print font is sized for it.
inline constexpr char kCongratulations[] =
    "Congratulations, everything passed. To install click Run Setup below, or click the X in the "
    "top corner to exit.";
