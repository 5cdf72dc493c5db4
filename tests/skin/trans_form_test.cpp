#include "skin/trans_form.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "controls/label.h"
#include "skin/image_store.h"
#include "skin_test_support.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class ShapeTest : public testing::Test {
protected:
    void SetUp() override {
        window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20,
                                   kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        ASSERT_TRUE(image.Resize(kWidth, kHeight));
    }
    void TearDown() override {
        ::DestroyWindow(window);
        for (const std::string& file : files) ::DeleteFileA(file.c_str());
    }

    // Paints the surface from rows of text: '#' magenta, anything else white.
    void Paint(const std::vector<std::string>& rows) {
        image.Clear();
        for (int y = 0; y < static_cast<int>(rows.size()); ++y)
            for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
                if (rows[y][x] == '#') ::SetPixelV(image.dc(), x, y, kMagenta);
    }

    // Whether each pixel of the window lies in its region, as rows of text
    // ('.' in, '#' cut out); a window without a region is all in.
    std::vector<std::string> Outline() const {
        OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
        bool hasRegion = ::GetWindowRgn(window, region.get()) != ERROR;
        std::vector<std::string> rows;
        for (int y = 0; y < kHeight; ++y) {
            std::string row;
            for (int x = 0; x < kWidth; ++x)
                row += !hasRegion || ::PtInRegion(region.get(), x, y) ? '.' : '#';
            rows.push_back(row);
        }
        return rows;
    }

    std::string TempFile(const char* name) {
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        std::string path = std::string(folder) + name;
        ::DeleteFileA(path.c_str());
        files.push_back(path);
        return path;
    }

    static std::vector<char> Bytes(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    static constexpr int kWidth = 6;
    static constexpr int kHeight = 4;
    const std::vector<std::string> corners = {"##..##", "#....#", "......", "#....#"};
    const std::vector<std::string> plain = {"......", "......", "......", "......"};
    HWND window = nullptr;
    BackingImage image;
    std::vector<std::string> files;
};

TEST_F(ShapeTest, FormLosesExactlyItsMagentaPixels) {
    Paint(corners);
    clsTransForm shaper;
    EXPECT_FALSE(shaper.ShapeMe(FormTarget(window, image), kMagenta, true));
    EXPECT_EQ(Outline(), corners);
    EXPECT_EQ(shaper.Runs().size(), 6u);
}

TEST_F(ShapeTest, SurfaceWithoutMagentaKeepsItsFullRectangle) {
    Paint(plain);
    clsTransForm shaper;
    EXPECT_FALSE(shaper.ShapeMe(FormTarget(window, image), kMagenta));
    EXPECT_EQ(Outline(), plain);
    EXPECT_TRUE(shaper.Runs().empty());
}

TEST_F(ShapeTest, PictureBoxIsShapedByItsOwnImage) {
    PictureBox picture;
    ASSERT_TRUE(picture.Create(window, 0, 0, kWidth, kHeight));
    HDC dc = picture.image().dc();
    ::SetPixelV(dc, 2, 1, kMagenta);
    clsTransForm shaper;
    EXPECT_FALSE(shaper.ShapeMe(PictureTarget(picture), kMagenta));
    OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(picture.hwnd(), region.get()), ERROR);
    EXPECT_FALSE(::PtInRegion(region.get(), 2, 1));
    EXPECT_TRUE(::PtInRegion(region.get(), 3, 1));
    EXPECT_TRUE(::PtInRegion(region.get(), 0, 0));
}

TEST_F(ShapeTest, ShapingTwiceStartsFromANewRegion) {
    Paint(corners);
    clsTransForm shaper;
    EXPECT_FALSE(shaper.ShapeMe(FormTarget(window, image), kMagenta));
    std::vector<std::string> cross = {"..#...", "######", "..#...", "......"};
    Paint(cross);
    EXPECT_FALSE(shaper.ShapeMe(FormTarget(window, image), kMagenta));
    EXPECT_EQ(Outline(), cross);
}

TEST_F(ShapeTest, ButtonsKeepOnlyTheirPicture) {
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    struct Case {
        DWORD style;
        ShapeKind kind;
    };
    for (Case c : {Case{BS_PUSHBUTTON, ShapeKind::CommandButton},
                   Case{BS_AUTOCHECKBOX, ShapeKind::CheckBox},
                   Case{BS_AUTORADIOBUTTON, ShapeKind::OptionButton}}) {
        HWND button = ::CreateWindowExA(0, "BUTTON", "Caption",
                                        WS_CHILD | WS_VISIBLE | BS_BITMAP | c.style,
                                        10, 10, 60, 20, parent, nullptr, nullptr, nullptr);
        // A 10 x 6 white picture: the face around it turns magenta and is cut.
        OwnedMemoryDC dc(::CreateCompatibleDC(nullptr));
        WindowDC screen(nullptr);
        OwnedBitmap picture(::CreateCompatibleBitmap(screen.get(), 10, 6));
        {
            SelectScope selected(dc.get(), picture.get());
            RECT all{0, 0, 10, 6};
            ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        }
        ::SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
        ShapeTarget target = ControlTarget(button);
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_FALSE(clsTransForm().ShapeMe(target, kMagenta));
        char caption[16] = "x";
        ::GetWindowTextA(button, caption, sizeof caption);
        EXPECT_STREQ(caption, "");
        OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(::GetWindowRgn(button, region.get()), ERROR);
        RECT box{};
        ::GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.left, 25);
        EXPECT_EQ(box.top, 7);
        EXPECT_EQ(box.right, 35);
        EXPECT_EQ(box.bottom, 13);
        ::DestroyWindow(button);
    }
    ::DestroyWindow(parent);
}

TEST_F(ShapeTest, OtherControlsRaiseTheNumberedErrorAndStayAsTheyAre) {
    OwnedFont font = CreateLabelFont();
    Label label;
    ASSERT_TRUE(label.Create(window, nullptr, 0, 0, 6, 4, "x", font.get()));
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 6, 4, window, nullptr, nullptr,
                                  nullptr);
    HWND group = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_GROUPBOX, 0, 0, 6, 4, window,
                                   nullptr, nullptr, nullptr);
    for (HWND control : {label.hwnd(), edit, group, window}) {
        std::optional<TransFormError> error =
            clsTransForm().ShapeMe(ControlTarget(control), kMagenta);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Number, 0x800409D0u);
        EXPECT_EQ(error->Source, "TransForm");
        EXPECT_EQ(error->Description,
                  "Must pass in the name of a Form, PictureBox, CommandButton, CheckBox or "
                  "OptionButton.  TransForm ShapeMe method failed.");
        OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(::GetWindowRgn(control, region.get()), ERROR);
    }
}

TEST_F(ShapeTest, RegionFileRoundTrip) {
    std::string file = TempFile("tscheck_shape_test.rgn");
    Paint(corners);
    EXPECT_FALSE(clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, false, file));
    EXPECT_EQ(Outline(), corners);
    // The file holds exactly the region data of the window's region.
    OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(window, region.get());
    std::vector<char> expected(::GetRegionData(region.get(), 0, nullptr));
    ::GetRegionData(region.get(), static_cast<DWORD>(expected.size()),
                    reinterpret_cast<RGNDATA*>(expected.data()));
    EXPECT_EQ(Bytes(file), expected);

    // Loading reads the file and scans nothing: the plain surface is ignored.
    Paint(plain);
    EXPECT_FALSE(clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, true, file));
    EXPECT_EQ(Outline(), corners);
}

TEST_F(ShapeTest, AnExistingRegionFileIsNeverReplaced) {
    std::string file = TempFile("tscheck_shape_keep.rgn");
    std::ofstream(file, std::ios::binary) << "keep";
    Paint(corners);
    EXPECT_FALSE(clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, false, file));
    EXPECT_EQ(Outline(), corners);
    EXPECT_EQ(Bytes(file), (std::vector<char>{'k', 'e', 'e', 'p'}));
}

TEST_F(ShapeTest, LoadWithoutFileNameScans) {
    Paint(corners);
    EXPECT_FALSE(clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, true, ""));
    EXPECT_EQ(Outline(), corners);
}

TEST_F(ShapeTest, MissingOrUnreadableRegionFilesGiveTheFullRectangle) {
    Paint(corners);
    EXPECT_FALSE(
        clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, true, TempFile("absent.rgn")));
    EXPECT_EQ(Outline(), plain);

    // Too short to hold region data: refused, no error.
    std::string junk = TempFile("tscheck_junk.rgn");
    std::ofstream(junk, std::ios::binary) << "junk";
    EXPECT_FALSE(clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, true, junk));
    EXPECT_EQ(Outline(), plain);
}

TEST_F(ShapeTest, AnEmptyRegionFileRaisesAnErrorFromTheRegionReader) {
    std::string empty = TempFile("tscheck_empty.rgn");
    std::ofstream(empty, std::ios::binary).flush();
    std::optional<TransFormError> error =
        clsTransForm().ShapeMe(FormTarget(window, image), kMagenta, true, empty);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number, 62u);
    EXPECT_EQ(error->Source, "trans_form_test.cDIBSectionRegion");
}

// Shaping the main window's skin: prints the time it takes.
TEST(ShapeMainSkin, CutsTheMagentaMarginsOfTheMainWindow) {
    HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                    588, 410, nullptr, nullptr, nullptr, nullptr);
    BackingImage image;
    ASSERT_TRUE(image.Resize(588, 410));
    image.SetBackground(frmPics().imgLstBG[2].Picture.get());
    PixelGrid skin = ReadSurfacePixels(image.dc(), 588, 410);

    auto start = std::chrono::steady_clock::now();
    clsTransForm shaper;
    EXPECT_FALSE(shaper.ShapeMe(FormTarget(window, image), kMagenta, true));
    auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                             start);
    std::printf("shaping the 588 x 410 main window: %.1f ms, %zu runs\n", elapsed.count(),
                shaper.Runs().size());

    OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(window, region.get()), ERROR);
    for (int y = 0; y < 410; ++y)
        for (int x = 0; x < 588; ++x)
            ASSERT_EQ(::PtInRegion(region.get(), x, y) != 0, skin.At(x, y) != kMagenta)
                << x << "," << y;
    ::DestroyWindow(window);
}

}  // namespace
