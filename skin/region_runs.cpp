#include "skin/region_runs.h"

std::vector<TransparentRun> ScanTransparentRuns(const PixelGrid& grid, std::int32_t width,
                                                std::int32_t height, std::uint32_t colour) {
    std::vector<TransparentRun> runs;
    bool inRun = false;
    std::int32_t x1 = 0;
    std::int32_t x2 = 0;
    for (std::int32_t y = 0; y <= height; ++y) {
        for (std::int32_t x = 0; x <= width; ++x) {
            std::uint32_t pixel = grid.At(x, y);
            if (pixel != PixelGrid::kNoColour && pixel == colour) {
                if (!inRun) {
                    x1 = x;
                    inRun = true;
                }
                x2 = x;
            } else if (inRun) {
                runs.push_back(TransparentRun{y, x1, x2});
                inRun = false;
            }
        }
    }
    return runs;
}
