#include "app/results_display.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A 20 x 20 bitmap, `inside` in the 10 x 10 centre and `outside` around it.
OwnedBitmap Square(COLORREF inside, COLORREF outside) {
    MemorySurface surface;
    surface.Create(nullptr, 20, 20);
    RECT all{0, 0, 20, 20}, centre{5, 5, 15, 15};
    OwnedBrush out(::CreateSolidBrush(outside)), in(::CreateSolidBrush(inside));
    ::FillRect(surface.dc(), &all, out.get());
    ::FillRect(surface.dc(), &centre, in.get());
    // Hand the bitmap over: copy it into a bitmap of its own.
    OwnedMemoryDC dc(::CreateCompatibleDC(nullptr));
    WindowDC screen(nullptr);
    OwnedBitmap copy(::CreateCompatibleBitmap(screen.get(), 20, 20));
    SelectScope select(dc.get(), copy.get());
    ::BitBlt(dc.get(), 0, 0, 20, 20, surface.dc(), 0, 0, SRCCOPY);
    return copy;
}

struct FakeView : ResultsView {
    BackingImage image;
    OwnedBitmap passIcon = Square(RGB(0, 160, 0), kWhite), passMask = Square(kBlack, kWhite);
    OwnedBitmap failIcon = Square(RGB(200, 0, 0), kWhite), failMask = Square(kBlack, kWhite);
    std::vector<std::tuple<int, std::string, std::string, COLORREF>> rows;

    FakeView() {
        image.SetBackColour(kBlue);
        image.Resize(588, 410);
    }
    void SetRowTexts(int row, const std::string& need, const std::string& have,
                     COLORREF colour) override {
        rows.emplace_back(row, need, have, colour);
    }
    HDC ResultsCanvas() override { return image.dc(); }
    void RefreshResults() override {}
    IconPair VerdictIcons(bool passed) override {
        return passed ? IconPair{passIcon.get(), passMask.get()}
                      : IconPair{failIcon.get(), failMask.get()};
    }
    COLORREF At(int x, int y) { return ::GetPixel(image.dc(), x, y); }
};

const std::vector<CheckRow> kRows = {
    {"Operating System", kCheckPassed, "Windows XP SP3+", "Windows XP SP3"},
    {"Admin Rights", kCheckFailed, "Yes", "No"},
    {"CPU", kCheckPassedWarning, "970 MHz", "1.00 GHz"},
    {"Memory", kCheckPassed, "480 MB", "2.00 GB"},
    // The disk row shows an unreadable minimum as it was written.
    {"Disk Space", kCheckFailed, "5^00", "0 MB"},
};

// A "^" in a settings value is just a character of its row.
TEST(ShowResults, FillsFiveRowsAsTheyAre) {
    FakeView view;
    ShowResults(kRows, view);
    ASSERT_EQ(view.rows.size(), 5u);
    EXPECT_EQ(view.rows[0], std::make_tuple(0, std::string("Windows XP SP3+"),
                                            std::string("Windows XP SP3"), kStatusColour));
    EXPECT_EQ(view.rows[4], std::make_tuple(4, std::string("5^00"), std::string("0 MB"),
                                            kStatusColour));
}

TEST(ShowResults, IconsAtTheirRowsShowThroughTheMask) {
    FakeView view;
    ShowResults(kRows, view);
    const COLORREF green = RGB(0, 160, 0), red = RGB(200, 0, 0);
    const COLORREF expected[5] = {green, red, green, green, red};  // a warning passes
    for (int row = 0; row < 5; ++row) {
        int top = 111 + 34 * row;
        EXPECT_EQ(view.At(525 + 10, top + 10), expected[row]) << row;
        // Around the icon the window's own image stays.
        EXPECT_EQ(view.At(525 + 1, top + 1), kBlue) << row;
        EXPECT_EQ(view.At(525 + 10, top - 1), kBlue) << row;
    }
}

// The rows of the image where a colour other than the background appears.
std::vector<int> InkedRows(BackingImage& image, int left, int right, COLORREF background) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = left; x < right; ++x)
            if (::GetPixel(image.dc(), x, y) != background) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST(DrawTextLines, EachLineStartsAtXOneBelowTheOther) {
    BackingImage image;
    image.SetBackColour(kWhite);
    image.Resize(300, 100);
    PrintTarget target(image, nullptr);
    DrawTextLines(target, "First line\r\nSecond", 26, 10, RGB(245, 123, 32), false, true);
    auto rows = InkedRows(image, 0, 300, kWhite);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 10);
    EXPECT_GT(rows.back(), rows.front() + 12) << "a second line below the first";
    // Nothing left of x 26.
    EXPECT_TRUE(InkedRows(image, 0, 26, kWhite).empty());
    EXPECT_TRUE(target.bold());
}

TEST(DrawTextLines, BoldStaysAndClearReturnsToTheBackground) {
    BackingImage image;
    image.SetBackColour(kWhite);
    image.Resize(300, 60);
    PrintTarget target(image, nullptr);
    DrawTextLines(target, "Bold", 0, 0, kBlack, false, true);
    DrawTextLines(target, "Later", 0, 20, kBlack, false, false);
    EXPECT_TRUE(target.bold()) << "nothing switches bold off";
    DrawTextLines(target, "", 0, 0, kBlack, true, false);
    EXPECT_TRUE(InkedRows(image, 0, 300, kWhite).empty());
}

}  // namespace
