// The window outline scanned from a skin picture: any pixels, any
// transparent colour, the surface's own size.
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "skin/region_runs.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Few colours, so that runs form; one of them may be "no colour" itself.
    const std::uint32_t palette[4] = {in.ConsumeIntegral<std::uint32_t>(), 0x00FF00FFu,
                                      PixelGrid::kNoColour, 0};
    PixelGrid grid;
    grid.width = in.ConsumeIntegralInRange<std::int32_t>(0, 40);
    grid.height = in.ConsumeIntegralInRange<std::int32_t>(0, 40);
    const std::uint32_t colour = palette[in.ConsumeIntegralInRange<int>(0, 3)];
    for (std::int32_t i = 0; i < grid.width * grid.height; ++i)
        grid.pixels.push_back(palette[in.ConsumeIntegralInRange<int>(0, 3)]);

    std::vector<TransparentRun> runs = ScanTransparentRuns(grid, grid.width, grid.height, colour);
    // Each pixel of the colour lies in exactly one run, nothing else does,
    // and each run is as long as it can be, in order of rows and columns.
    std::vector<int> covered(grid.pixels.size(), 0);
    const TransparentRun* previous = nullptr;
    for (const TransparentRun& run : runs) {
        FUZZ_REQUIRE(run.y >= 0 && run.y < grid.height);
        FUZZ_REQUIRE(run.x1 >= 0 && run.x1 <= run.x2 && run.x2 < grid.width);
        if (previous)
            FUZZ_REQUIRE(run.y > previous->y || (run.y == previous->y && run.x1 > previous->x2 + 1));
        FUZZ_REQUIRE(grid.At(run.x1 - 1, run.y) != colour || run.x1 == 0);
        FUZZ_REQUIRE(grid.At(run.x2 + 1, run.y) != colour || run.x2 + 1 == grid.width);
        for (std::int32_t x = run.x1; x <= run.x2; ++x)
            ++covered[static_cast<std::size_t>(run.y * grid.width + x)];
        previous = &run;
    }
    for (std::size_t i = 0; i < grid.pixels.size(); ++i)
        FUZZ_REQUIRE(covered[i] == (grid.pixels[i] == colour && colour != PixelGrid::kNoColour ? 1 : 0));
    return 0;
}
