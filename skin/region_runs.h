// The outline of a skinned surface as runs of its transparent colour: each
// run is one horizontal stretch of transparent pixels in one row. The window
// shaping cuts one single-row rectangle per run out of the surface.
#pragma once

#include <cstdint>
#include <vector>

struct TransparentRun {
    std::int32_t y;
    std::int32_t x1;  // first transparent column
    std::int32_t x2;  // last transparent column (x2 >= x1)
    bool operator==(const TransparentRun&) const = default;
};

// Pixels of a surface, row by row from the top, as Windows colour values
// (red in the low byte). Outside the grid a pixel has no colour at all.
struct PixelGrid {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;

    static constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;
    std::uint32_t At(std::int32_t x, std::int32_t y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return kNoColour;
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Scans rows 0 to `height` and, in each, columns 0 to `width` (both one
// beyond the surface, where nothing matches, so every run ends in its own
// row) and returns the runs of `colour` in order of discovery.
std::vector<TransparentRun> ScanTransparentRuns(const PixelGrid& grid, std::int32_t width,
                                                std::int32_t height, std::uint32_t colour);
