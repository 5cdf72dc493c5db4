#include "skin/graphics.h"

#include <gtest/gtest.h>

#include "platform/message_pump.h"
#include "skin_test_support.h"

namespace {

// A plain top-level window that paints a backing image, like the program's.
class TestWindow {
public:
    TestWindow(int width, int height) {
        image.Resize(width, height);
        hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10,
                                 width, height, nullptr, nullptr, nullptr, nullptr);
    }
    ~TestWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd;
    BackingImage image;
};

TEST(ReplaceColour, TurnsEveryMagentaPixelWhiteAndLeavesTheRest) {
    TestWindow window(588, 410);
    window.image.SetBackground(frmPics().imgLstBG[2].Picture.get());
    PixelGrid before = ReadSurfacePixels(window.image.dc(), 588, 410);
    ASSERT_GT(CountColour(before, kMagenta), 0);

    ReplaceColour(window.hwnd, window.image, kMagenta, RGB(255, 255, 255));

    PixelGrid after = ReadSurfacePixels(window.image.dc(), 588, 410);
    for (std::size_t i = 0; i < after.pixels.size(); ++i) {
        std::uint32_t expected = before.pixels[i] == kMagenta ? 0xFFFFFFu : before.pixels[i];
        ASSERT_EQ(after.pixels[i], expected) << "pixel " << i;
    }
}

TEST(ReplaceColour, WorksOnAnyColourPair) {
    TestWindow window(7, 3);
    HDC dc = window.image.dc();
    ::SetPixelV(dc, 0, 0, RGB(1, 2, 3));
    ::SetPixelV(dc, 6, 2, RGB(1, 2, 3));
    ::SetPixelV(dc, 3, 1, RGB(1, 2, 4));
    ReplaceColour(window.hwnd, window.image, RGB(1, 2, 3), RGB(200, 100, 0));
    PixelGrid after = ReadSurfacePixels(dc, 7, 3);
    EXPECT_EQ(after.At(0, 0), RGB(200, 100, 0));
    EXPECT_EQ(after.At(6, 2), RGB(200, 100, 0));
    EXPECT_EQ(after.At(3, 1), RGB(1, 2, 4));
    EXPECT_EQ(after.At(1, 0), RGB(255, 255, 255));
}

TEST(ApplyBackground, KindZeroTakesTheDefaultPanelOtherKindsTheMessageBody) {
    TestWindow window(375, 194);
    const SkinImageStore& store = frmPics();
    ApplyBackground(window.hwnd, window.image, store, 0);
    PixelGrid panel = PixelsOf(store.imgLstBG[0].Picture.get());
    EXPECT_EQ(ReadSurfacePixels(window.image.dc(), 50, 50).At(30, 30), panel.At(30, 30));

    ApplyBackground(window.hwnd, window.image, store, 1);
    PixelGrid body = PixelsOf(store.imgLstMsgBG[1].Picture.get());
    PixelGrid shown = ReadSurfacePixels(window.image.dc(), 374, 194);
    EXPECT_EQ(shown.pixels, body.pixels);
}

TEST(ApplyBackground, FillsTheLogoStrip) {
    TestWindow window(375, 194);
    PictureBox strip;
    ASSERT_TRUE(strip.Create(window.hwnd, 0, 0, 131, 18));
    ApplyBackground(window.hwnd, window.image, frmPics(), 0, &strip);
    EXPECT_EQ(ReadSurfacePixels(strip.image().dc(), 131, 18).pixels,
              PixelsOf(frmPics().imgLstBG[1].Picture.get()).pixels);
}

TEST(DrawListImage, DrawsOnTheSurfaceOnlyAndARepaintRestoresThePicture) {
    TestWindow window(200, 100);
    PictureBox button;
    ASSERT_TRUE(button.Create(window.hwnd, 10, 10, 81, 25));
    const SkinImageList& buttons = frmPics().imgMsgBtn;
    button.SetPicture(buttons[16].Picture.get());
    ProcessPendingEvents();
    PixelGrid normal = PixelsOf(buttons[16].Picture.get());
    PixelGrid hover = PixelsOf(buttons[17].Picture.get());
    ASSERT_EQ(PixelsOnScreen(button.hwnd()).pixels, normal.pixels);

    MemorySurface buffer;
    EXPECT_TRUE(DrawListImage(buffer, button.hwnd(), buttons, 17));
    EXPECT_EQ(PixelsOnScreen(button.hwnd()).pixels, hover.pixels);

    button.Refresh();
    EXPECT_EQ(PixelsOnScreen(button.hwnd()).pixels, normal.pixels);
}

TEST(DrawListImage, AnUntaggedEntryDrawsNothing) {
    TestWindow window(400, 200);
    MemorySurface buffer;
    EXPECT_FALSE(DrawListImage(buffer, window.hwnd, frmPics().imgLstMsgBG, 0));
    EXPECT_FALSE(DrawListImage(buffer, window.hwnd, frmPics().picBufferPass, 0));
}

}  // namespace
