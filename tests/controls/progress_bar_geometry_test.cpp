#include "controls/progress_bar_geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

using ::testing::ElementsAre;

namespace {

constexpr Colour kBar = MakeColour(94, 129, 188);

TEST(ProgressBarColourTest, LightenColourScalesEachChannelTowardsWhite) {
    struct Case {
        Colour colour;
        int amount;
        Colour expected;
    };
    const Case cases[] = {
        {kBar, 150, MakeColour(188, 203, 227)},
        {kBar, 0, kBar},
        {kBar, 255, kWhite},
        {MakeColour(0, 0, 0), 100, MakeColour(100, 100, 100)},
        {MakeColour(255, 0, 10), 200, MakeColour(255, 200, 202)},
        {MakeColour(0, 128, 255), 300, kWhite},  // capped at 255
    };
    for (const Case& c : cases)
        EXPECT_EQ(LightenColour(c.colour, c.amount), c.expected)
            << std::hex << c.colour << " by " << std::dec << c.amount;
}

TEST(ProgressBarColourTest, SystemColoursAreLookedUpByIndex) {
    int asked = -1;
    auto system = [&asked](int index) {
        asked = index;
        return MakeColour(1, 2, 3);
    };
    EXPECT_EQ(TranslateSysColour(kHighlightSystemColour, system), MakeColour(1, 2, 3));
    EXPECT_EQ(asked, 13);
    asked = -1;
    EXPECT_EQ(TranslateSysColour(kBar, system), kBar);
    EXPECT_EQ(asked, -1);
}

TEST(ProgressBarColourTest, VertexChannelsAreTheBytesTimes256) {
    VertexColour v = ColourToVertex(kBar);
    EXPECT_EQ(v.red, 94 * 256);
    EXPECT_EQ(v.green, 129 * 256);
    EXPECT_EQ(v.blue, 188 * 256);
}

TEST(ProgressBarGeometryTest, FractionIsClampedAndTenPercentForAnEmptyRange) {
    struct Case {
        int min, max, value;
        double fraction;
    };
    const Case cases[] = {
        {0, 100, 47, 0.47}, {10, 20, 15, 0.5}, {5, 5, 5, 0.1},  {5, 5, 100, 0.1},
        {0, 100, -5, 0.0},  {0, 100, 150, 1.0}, {100, 0, 25, 0.75},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(FilledFraction(c.min, c.max, c.value), c.fraction)
            << c.min << ".." << c.max << " at " << c.value;
}

TEST(ProgressBarGeometryTest, HorizontalFillEndsOnWholeTenPixelSteps) {
    struct Case {
        PixelRect client;
        double fraction;
        int right;
    };
    const Case cases[] = {
        {{0, 0, 100, 25}, 0.47, 40}, {{0, 0, 100, 25}, 0.5, 50}, {{0, 0, 100, 25}, 0.1, 10},
        {{0, 0, 100, 25}, 0.0, 0},   {{0, 0, 100, 25}, 1.0, 100}, {{0, 0, 100, 25}, 0.09, 0},
        {{5, 0, 105, 25}, 0.47, 45}, {{0, 0, 521, 25}, 0.5, 260},
    };
    for (const Case& c : cases) {
        PixelRect fill = FillRectangle(c.client, c.fraction, 0);
        EXPECT_EQ(fill.right, c.right) << c.fraction;
        EXPECT_EQ(fill.left, c.client.left);
        EXPECT_EQ(fill.top, c.client.top);
        EXPECT_EQ(fill.bottom, c.client.bottom);
    }
}

TEST(ProgressBarGeometryTest, VerticalFillRisesFromTheBottomInTenPixelSteps) {
    struct Case {
        double fraction;
        int top;
    };
    // Client 0..100 high: the fill's top edge.
    const Case cases[] = {{0.47, 60}, {0.5, 50}, {0.49, 50}, {0.1, 90},
                          {0.0, 100}, {1.0, 0},  {0.05, 100}};
    for (const Case& c : cases) {
        PixelRect fill = FillRectangle({0, 0, 25, 100}, c.fraction, 1);
        EXPECT_EQ(fill.top, c.top) << c.fraction;
        EXPECT_EQ(fill.bottom, 100);
        EXPECT_EQ(fill.right, 25);
    }
}

template <typename Step>
std::vector<Step> StepsOf(const BarPlan& plan) {
    std::vector<Step> steps;
    for (const PaintStep& step : plan.steps)
        if (const Step* s = std::get_if<Step>(&step)) steps.push_back(*s);
    return steps;
}

BarState StateAt(int value, int orientation, int scrolling) {
    BarState state;
    state.value = value;
    state.orientation = orientation;
    state.scrolling = scrolling;
    state.colour = kBar;
    return state;
}

TEST(ProgressBarPlanTest, HorizontalBlocksAt47PerCent) {
    const PixelRect client{0, 0, 100, 25};
    BarPlan plan = PlanProgressBar(client, StateAt(47, 0, kScrollingBlocks));
    EXPECT_EQ(plan.fill, (PixelRect{0, 0, 40, 25}));
    const Colour light = MakeColour(188, 203, 227);
    EXPECT_THAT(StepsOf<GradientStep>(plan),
                ElementsAre(GradientStep{2, 3, 38, 6, light, kBar, true},
                            GradientStep{2, 17, 38, 6, kBar, light, true}));
    EXPECT_THAT(StepsOf<FillStep>(plan),
                ElementsAre(FillStep{client, kWhite}, FillStep{{2, 8, 40, 19}, kBar},
                            FillStep{{10, 0, 12, 25}, kWhite}, FillStep{{20, 0, 22, 25}, kWhite},
                            FillStep{{30, 0, 32, 25}, kWhite}, FillStep{{40, 0, 42, 25}, kWhite}));
    EXPECT_TRUE(StepsOf<CaptionStep>(plan).empty()) << "no caption unless ShowText";
}

TEST(ProgressBarPlanTest, SearchingCaptionIgnoresTextAndDrawsNoGaps) {
    BarState state = StateAt(47, 0, kScrollingSearching);
    state.showText = true;
    state.text = "1.50 MB of 12.00 MB";
    BarPlan plan = PlanProgressBar({0, 0, 100, 25}, state);
    EXPECT_THAT(StepsOf<CaptionStep>(plan),
                ElementsAre(CaptionStep{{0, 0, 100, 25}, "Searching.."}));
    EXPECT_EQ(StepsOf<FillStep>(plan).size(), 4u) << "trough and three blocks, no gaps";
}

TEST(ProgressBarPlanTest, RoundedCornersLoseThreePixelsEach) {
    const int w = 10, h = 6;
    std::set<std::pair<int, int>> removed;
    for (const PixelRect& cut : RoundedCornerCuts(w, h))
        for (int y = cut.top; y < cut.bottom; ++y)
            for (int x = cut.left; x < cut.right; ++x) removed.insert({x, y});
    const std::set<std::pair<int, int>> expected = {
        {0, 0}, {1, 0}, {0, 1}, {8, 0}, {9, 0}, {9, 1},
        {0, 5}, {1, 5}, {0, 4}, {8, 5}, {9, 5}, {9, 4},
    };
    EXPECT_EQ(removed, expected);
}

}  // namespace
