// Fonts by face and size, for the screen.
#pragma once

#include "platform/owned.h"

// Hundredths of a point (825 for 8.25 pt) as pixels on the screen.
int PointsToPixels(int hundredthsOfPoint);

// A font of `face` whose characters are `pixelHeight` pixels high.
OwnedFont CreateScreenFont(const char* face, int pixelHeight, bool bold = false);
