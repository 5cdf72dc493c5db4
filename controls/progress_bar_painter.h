// Draws a progress bar's plan with GDI. GradientFill lives in msimg32.dll,
// which is not a known system DLL: it is bound at run time from the system
// folder, and bands of solid colour stand in where it is missing.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/progress_bar_geometry.h"

void PaintProgressBarSteps(HDC dc, const std::vector<PaintStep>& steps, HFONT captionFont);

// One gradient rectangle, as the bar's shading strips use it.
void GradientRect(HDC dc, const GradientStep& step);
