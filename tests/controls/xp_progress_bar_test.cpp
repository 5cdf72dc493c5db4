// The progress bar as a real child window: its stored properties, what it
// renders (read back from its back buffer), when it redraws, and its shape.
#include "controls/xp_progress_bar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/message_pump.h"

namespace {

constexpr Colour kBar = MakeColour(94, 129, 188);

// A hidden top-level window to hold the bars.
class ParentWindow {
public:
    ParentWindow()
        : window_(::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 600, 200,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr)) {}
    HWND get() const { return window_.get(); }

private:
    OwnedWindow window_;
};

// The bar's back buffer, copied out for reading.
class Snapshot {
public:
    explicit Snapshot(const XP_ProgressBar& bar) {
        RECT client{};
        ::GetClientRect(bar.Window(), &client);
        surface_.Create(nullptr, client.right, client.bottom);
        bar.pDraw(surface_.dc());
    }
    Colour At(int x, int y) const { return ::GetPixel(surface_.dc(), x, y); }
    // Pixels in the rectangle darker than mid grey (caption text).
    int DarkPixels(int left, int top, int right, int bottom) const {
        int dark = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                Colour c = At(x, y);
                if ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 100) ++dark;
            }
        return dark;
    }

private:
    MemorySurface surface_;
};

bool Near(Colour a, Colour b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

class ProgressBarTest : public ::testing::Test {
protected:
    // A bar in the download bar's colour with the given look.
    void Make(XP_ProgressBar& bar, int width, int height, int orientation, int scrolling) {
        PropertyBag stored;
        stored.SetLong("Color", static_cast<std::int32_t>(kBar))
            .SetLong("Orientation", orientation)
            .SetLong("Scrolling", scrolling);
        ASSERT_TRUE(bar.Create(parent_.get(), 0, 0, width, height, &stored));
    }
    ParentWindow parent_;
};

TEST_F(ProgressBarTest, StoredFormOfTheDownloadBarOverridesOnlyColourAndCaption) {
    XP_ProgressBar bar;
    PropertyBag stored;
    stored.SetLong("Color", static_cast<std::int32_t>(kBar)).SetBoolean("ShowText", true);
    ASSERT_TRUE(bar.Create(parent_.get(), 10, 10, 521, 25, &stored));
    EXPECT_EQ(bar.Color(), kBar);
    EXPECT_TRUE(bar.ShowText());
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.Orientation(), 0);
    EXPECT_EQ(bar.Scrolling(), 0);
    EXPECT_EQ(bar.hWnd(), bar.Window());
    EXPECT_NE(bar.hDC(), nullptr);
    EXPECT_NE(bar.Font(), nullptr);

    PropertyBag written;
    bar.SetMax(5000);
    bar.WriteProperties(written);
    EXPECT_EQ(written.ReadLong("Color", 0), static_cast<std::int32_t>(kBar));
    EXPECT_TRUE(written.ReadBoolean("ShowText", false));
    EXPECT_EQ(written.ReadLong("Max", 0), 5000);
    for (const char* key : {"Min", "Orientation", "Scrolling", "Value"})
        EXPECT_FALSE(written.Contains(key)) << key << " is at its default";
}

TEST_F(ProgressBarTest, DefaultColourIsTheSystemHighlight) {
    XP_ProgressBar bar;
    ASSERT_TRUE(bar.Create(parent_.get(), 0, 0, 100, 25));
    EXPECT_EQ(bar.Color(), static_cast<Colour>(::GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_FALSE(bar.ShowText());
    bar.SetColor(0x80000000u | COLOR_WINDOWTEXT);
    EXPECT_EQ(bar.Color(), static_cast<Colour>(::GetSysColor(COLOR_WINDOWTEXT)));
}

struct PixelExpectation {
    int x, y;
    Colour colour;
    int tolerance;  // per channel, for gradients
};

struct RenderCase {
    const char* name;
    int width, height, orientation, scrolling;
    int min, max, value;
    std::vector<PixelExpectation> pixels;
};

class ProgressBarRenderTest : public ProgressBarTest,
                              public ::testing::WithParamInterface<RenderCase> {};

TEST_P(ProgressBarRenderTest, DrawsTheExpectedPixels) {
    const RenderCase& c = GetParam();
    XP_ProgressBar bar;
    Make(bar, c.width, c.height, c.orientation, c.scrolling);
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetValue(c.value);
    Snapshot shot(bar);
    for (const PixelExpectation& p : c.pixels)
        EXPECT_TRUE(Near(shot.At(p.x, p.y), p.colour, p.tolerance))
            << "at (" << p.x << ", " << p.y << "): " << std::hex << shot.At(p.x, p.y)
            << " expected " << p.colour;
}

const Colour white = kWhite;
const Colour light150 = MakeColour(188, 203, 227);

INSTANTIATE_TEST_SUITE_P(
    Looks, ProgressBarRenderTest,
    ::testing::Values(
        RenderCase{"HorizontalBlocks", 100, 25, 0, 0, 0, 100, 47,
                   {{5, 12, kBar, 0}, {11, 12, white, 0}, {15, 12, kBar, 0}, {39, 12, kBar, 0},
                    {41, 12, white, 0}, {60, 12, white, 0},
                    // shading: light at the outer edge, the bar colour inwards
                    {5, 3, light150, 12}, {5, 22, light150, 20}, {5, 8, kBar, 0},
                    // frame
                    {0, 12, kFrameLight, 0}, {1, 12, kFrameShadow, 0}, {50, 0, kFrameLight, 0},
                    {50, 1, kFrameLight, 0}, {50, 2, kFrameShadow, 0}, {98, 12, kFrameShadow, 0},
                    {99, 12, kFrameLight, 0}, {50, 24, kFrameLight, 0}, {1, 1, kFrameLight, 0},
                    {1, 23, kFrameShadow, 0}}},
        RenderCase{"HorizontalContinuous", 100, 25, 0, 1, 0, 100, 47,
                   {{11, 12, kBar, 0}, {31, 12, kBar, 0}, {39, 12, kBar, 0}, {41, 12, white, 0}}},
        RenderCase{"HorizontalSearching", 100, 25, 0, 2, 0, 100, 47,
                   {{20, 12, white, 0},
                    {45, 12, LightenColour(kBar, 200), 0},
                    {51, 12, white, 0},
                    {57, 12, LightenColour(kBar, 160), 0},
                    {69, 12, LightenColour(kBar, 120), 0},
                    {80, 12, white, 0}}},
        RenderCase{"EmptyRangeShowsTenPerCent", 100, 25, 0, 0, 5, 5, 5,
                   {{5, 12, kBar, 0}, {9, 12, kBar, 0}, {15, 12, white, 0}}},
        RenderCase{"BelowMinimumIsAnEmptyTrough", 100, 25, 0, 0, 0, 100, -5,
                   {{3, 4, white, 0}, {5, 12, white, 0}, {3, 20, white, 0}}},
        RenderCase{"AboveMaximumIsFull", 100, 25, 0, 0, 0, 100, 150,
                   {{5, 12, kBar, 0}, {91, 12, white, 0}, {95, 12, kBar, 0}}},
        RenderCase{"VerticalBlocks", 25, 100, 1, 0, 0, 100, 47,
                   {{12, 65, kBar, 0}, {12, 69, white, 0}, {12, 75, kBar, 0}, {12, 55, white, 0},
                    {2, 65, light150, 30}}},
        RenderCase{"VerticalContinuous", 25, 100, 1, 1, 0, 100, 47,
                   {{12, 69, kBar, 0}, {12, 61, kBar, 0}, {12, 58, white, 0}}},
        RenderCase{"VerticalSearching", 25, 100, 1, 2, 0, 100, 47,
                   {{12, 65, LightenColour(kBar, 200), 0},
                    {12, 71, white, 0},
                    {12, 77, LightenColour(kBar, 160), 0},
                    {12, 89, LightenColour(kBar, 120), 0},
                    {12, 55, white, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressBarTest, CaptionIsPrintedOnlyWithShowText) {
    XP_ProgressBar bar;
    Make(bar, 200, 25, 0, 0);
    bar.SetText("MMMM");
    EXPECT_EQ(Snapshot(bar).DarkPixels(60, 4, 140, 21), 0);
    bar.SetShowText(true);
    EXPECT_GT(Snapshot(bar).DarkPixels(60, 4, 140, 21), 20);
    EXPECT_EQ(Snapshot(bar).DarkPixels(0, 0, 60, 25), 0) << "centred";
}

// Scribbles on the drawing DC, applies a change and reports whether the
// bar painted over the scribble.
bool Redraws(XP_ProgressBar& bar, const std::function<void()>& change) {
    RECT mark{40, 10, 60, 15};
    ::FillRect(bar.hDC(), &mark, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    change();
    return Snapshot(bar).At(50, 12) != 0;
}

TEST_F(ProgressBarTest, OnlyValueTextAndShowTextRedraw) {
    XP_ProgressBar bar;
    Make(bar, 100, 25, 0, 0);
    EXPECT_TRUE(Redraws(bar, [&] { bar.SetValue(10); }));
    EXPECT_TRUE(Redraws(bar, [&] { bar.SetText("hidden"); })) << "even with the caption off";
    EXPECT_TRUE(Redraws(bar, [&] { bar.SetShowText(true); }));
    EXPECT_FALSE(Redraws(bar, [&] { bar.SetMax(50); }));
    EXPECT_FALSE(Redraws(bar, [&] { bar.SetMin(1); }));
    EXPECT_FALSE(Redraws(bar, [&] { bar.SetColor(MakeColour(1, 2, 3)); }));
    EXPECT_FALSE(Redraws(bar, [&] { bar.SetOrientation(1); }));
    EXPECT_FALSE(Redraws(bar, [&] { bar.SetScrolling(1); }));
}

TEST_F(ProgressBarTest, NewRangeShowsAtTheNextValue) {
    XP_ProgressBar bar;
    Make(bar, 100, 25, 0, 1);
    bar.SetValue(50);
    EXPECT_EQ(Snapshot(bar).At(45, 12), kBar);
    bar.SetMax(200);
    EXPECT_EQ(Snapshot(bar).At(45, 12), kBar) << "Max alone does not redraw";
    bar.SetValue(50);
    EXPECT_EQ(Snapshot(bar).At(45, 12), kWhite) << "now a quarter";
}

TEST_F(ProgressBarTest, ShownBarHasRoundedCornersAndSettles) {
    XP_ProgressBar bar;
    PropertyBag stored;
    stored.SetLong("Color", static_cast<std::int32_t>(kBar));
    ASSERT_TRUE(bar.Create(parent_.get(), 20, 20, 100, 25, &stored, false));
    EXPECT_FALSE(bar.Visible());
    ::ShowWindow(parent_.get(), SW_SHOWNA);
    bar.Show(true);
    EXPECT_TRUE(bar.Visible());
    ::UpdateWindow(bar.Window());
    ProcessPendingEvents();
    ProcessPendingEvents();

    OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(bar.Window(), region.get()), ERROR);
    for (POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{99, 0}, POINT{98, 0},
                    POINT{99, 1}, POINT{0, 24}, POINT{1, 24}, POINT{0, 23}, POINT{99, 24},
                    POINT{98, 24}, POINT{99, 23}})
        EXPECT_FALSE(::PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{2, 0}, POINT{1, 1}, POINT{97, 0}, POINT{50, 12}, POINT{98, 23}})
        EXPECT_TRUE(::PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y;
    EXPECT_FALSE(::GetUpdateRect(bar.Window(), nullptr, FALSE)) << "painting must settle";
    bar.Show(false);
    EXPECT_FALSE(bar.Visible());
}

TEST_F(ProgressBarTest, BackBufferFollowsAGrowingControl) {
    XP_ProgressBar bar;
    Make(bar, 100, 25, 0, 1);
    ::SetWindowPos(bar.Window(), nullptr, 0, 0, 300, 40, SWP_NOMOVE | SWP_NOZORDER);
    bar.SetValue(100);
    Snapshot shot(bar);
    EXPECT_EQ(shot.At(250, 20), kBar);
    EXPECT_EQ(shot.At(299, 20), kFrameLight);
    EXPECT_EQ(shot.At(150, 39), kFrameLight);
}

}  // namespace
