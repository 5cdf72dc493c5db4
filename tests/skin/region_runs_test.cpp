#include "skin/region_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Rows drawn as text: '#' transparent, anything else opaque.
PixelGrid Grid(const std::vector<std::string>& rows) {
    PixelGrid grid;
    grid.height = static_cast<std::int32_t>(rows.size());
    grid.width = rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size());
    for (const std::string& row : rows)
        for (char c : row) grid.pixels.push_back(c == '#' ? kMagenta : kWhite);
    return grid;
}

std::vector<TransparentRun> Scan(const std::vector<std::string>& rows) {
    PixelGrid grid = Grid(rows);
    return ScanTransparentRuns(grid, grid.width, grid.height, kMagenta);
}

using Runs = std::vector<TransparentRun>;

TEST(ScanTransparentRuns, NoTransparentPixelNoRun) {
    EXPECT_TRUE(Scan({"....", "...."}).empty());
}

TEST(ScanTransparentRuns, SinglePixel) {
    EXPECT_EQ(Scan({"....", "..#.", "...."}), (Runs{{1, 2, 2}}));
}

TEST(ScanTransparentRuns, TrailingRunEndsAtTheLastColumnAndTheNextRowStartsAfresh) {
    EXPECT_EQ(Scan({"..##", "##.."}), (Runs{{0, 2, 3}, {1, 0, 1}}));
    // Transparent at both the end of one row and the start of the next.
    EXPECT_EQ(Scan({"...#", "#..."}), (Runs{{0, 3, 3}, {1, 0, 0}}));
}

TEST(ScanTransparentRuns, WholeRowIsOneRun) {
    EXPECT_EQ(Scan({"....", "####", "...."}), (Runs{{1, 0, 3}}));
}

TEST(ScanTransparentRuns, SeveralRunsInARowInOrderOfDiscovery) {
    EXPECT_EQ(Scan({"#.##.#", "......", ".#...."}),
              (Runs{{0, 0, 0}, {0, 2, 3}, {0, 5, 5}, {2, 1, 1}}));
}

TEST(ScanTransparentRuns, RoundedCornersOfAPanel) {
    EXPECT_EQ(Scan({"##..##", "#....#", "......", "#....#"}),
              (Runs{{0, 0, 1}, {0, 4, 5}, {1, 0, 0}, {1, 5, 5}, {3, 0, 0}, {3, 5, 5}}));
}

TEST(ScanTransparentRuns, AreaBeyondTheGridNeverMatches) {
    PixelGrid grid = Grid({"##", "##"});
    // Scanning a larger area than was read: the unread part has no colour.
    EXPECT_EQ(ScanTransparentRuns(grid, 4, 3, kMagenta), (Runs{{0, 0, 1}, {1, 0, 1}}));
    EXPECT_TRUE(ScanTransparentRuns(grid, 2, 2, PixelGrid::kNoColour).empty());
    EXPECT_TRUE(ScanTransparentRuns(PixelGrid{}, 0, 0, kMagenta).empty());
}

}  // namespace
