// Reading what a device context shows, all pixels in one go.
#pragma once

#include <windows.h>

#include "skin/region_runs.h"

// The width x height pixels at the top-left of `source`. An empty grid when
// the system could not make the scratch surface.
PixelGrid ReadSurfacePixels(HDC source, std::int32_t width, std::int32_t height);
