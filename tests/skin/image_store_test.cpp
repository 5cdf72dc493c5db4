#include "skin/image_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_test_support.h"

namespace {

TEST(frmPics, EveryImageIsDecodedAtItsSizeUnderItsTag) {
    const SkinImageStore& store = frmPics();
    std::vector<std::size_t> seen(6, 0);
    for (const SkinArt& art : kSkinImages) {
        const SkinImageList& list = store.List(art.list);
        std::size_t index = seen[static_cast<std::size_t>(art.list)]++;
        ASSERT_LT(index, list.size()) << art.resourceName;
        const SkinImage& entry = list[index];
        EXPECT_EQ(entry.Tag, art.tag) << art.resourceName;
        ASSERT_TRUE(entry.Picture) << art.resourceName;
        SIZE size = BitmapSize(entry.Picture.get());
        EXPECT_EQ(size.cx, art.width) << art.resourceName;
        EXPECT_EQ(size.cy, art.height) << art.resourceName;
    }
    EXPECT_EQ(store.imgLstBG.size(), 3u);
    EXPECT_EQ(store.imgLstMsgBG.size(), 2u);
    EXPECT_EQ(store.imgLstButtons.size(), 6u);
    EXPECT_EQ(store.imgMsgBtn.size(), 20u);
    EXPECT_EQ(store.picBufferPass.size(), 2u);
    EXPECT_EQ(store.picBufferFail.size(), 2u);
}

TEST(FindImageIndex, FindsTagsInTheStoresLists) {
    const SkinImageStore& store = frmPics();
    struct Case {
        const SkinImageList& list;
        const char* key;
        int index;
    };
    const Case cases[] = {
        {store.imgMsgBtn, "okover", 17},        {store.imgMsgBtn, "no", 0},
        {store.imgMsgBtn, "helpover", 19},      {store.imgLstButtons, "close", 2},
        {store.imgLstButtons, "bigcloseover", 5}, {store.imgLstBG, "tavrinsecure", 2},
        {store.imgLstBG, "text", 1},            {store.imgLstMsgBG, "ok", 0},
        {store.imgLstMsgBG, "", 0},             {store.imgLstButtons, "Close", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(FindImageIndex(c.list, c.key), c.index) << c.key;
}

struct Tagged {
    std::string Tag;
};

TEST(FindImageIndex, AKeyNoEntryCarriesYieldsZero) {
    std::vector<Tagged> all = {{"a"}, {"b"}, {"c"}};
    EXPECT_EQ(FindImageIndex(all, "c"), 2);
    EXPECT_EQ(FindImageIndex(all, "missing"), 0);
    EXPECT_EQ(FindImageIndex(std::vector<Tagged>{}, "a"), 0);
    // The scan ends at the first untagged entry.
    std::vector<Tagged> gap = {{"a"}, {""}, {"c"}};
    EXPECT_EQ(FindImageIndex(gap, "c"), 0);
}

TEST(ImageHasTag, OnlyTaggedEntriesThatExist) {
    const SkinImageStore& store = frmPics();
    EXPECT_TRUE(ImageHasTag(store.imgMsgBtn, 17));
    EXPECT_FALSE(ImageHasTag(store.imgLstMsgBG, 1));
    EXPECT_FALSE(ImageHasTag(store.imgMsgBtn, 20));
    EXPECT_FALSE(ImageHasTag(store.imgMsgBtn, -1));
}

TEST(SkinArtwork, MainSkinIsMagentaOutsideItsPanelOnly) {
    PixelGrid skin = PixelsOf(frmPics().imgLstBG[2].Picture.get());
    for (auto [x, y] : {std::pair{0, 0}, {587, 0}, {0, 409}, {587, 409}, {1, 200}, {300, 409}})
        EXPECT_EQ(skin.At(x, y), kMagenta) << x << "," << y;
    // The panel: title band, rows, message area and button place.
    for (int y = 20; y < 390; ++y)
        for (int x = 20; x < 568; ++x) ASSERT_NE(skin.At(x, y), kMagenta) << x << "," << y;
    // The need and have columns stay one plain colour along each label line.
    for (int top : {118, 150, 184, 217, 250})
        for (int x = 177; x < 500; ++x) ASSERT_EQ(skin.At(x, top + 6), skin.At(177, top + 6));
}

TEST(SkinArtwork, OtherImagesCarryNoMagenta) {
    const SkinImageStore& store = frmPics();
    for (const SkinImageList* list : {&store.imgLstMsgBG, &store.imgLstButtons, &store.imgMsgBtn})
        for (const SkinImage& entry : *list)
            EXPECT_EQ(CountColour(PixelsOf(entry.Picture.get()), kMagenta), 0) << entry.Tag;
    EXPECT_EQ(CountColour(PixelsOf(store.imgLstBG[0].Picture.get()), kMagenta), 0);
    PixelGrid strip = PixelsOf(store.imgLstBG[1].Picture.get());
    EXPECT_EQ(strip.At(0, 0), RGB(255, 0, 190));
}

TEST(SkinArtwork, IconsAndMasksCoverExactlyTheSamePixels) {
    const SkinImageStore& store = frmPics();
    for (const SkinImageList* pair : {&store.picBufferPass, &store.picBufferFail}) {
        PixelGrid icon = PixelsOf((*pair)[0].Picture.get());
        PixelGrid mask = PixelsOf((*pair)[1].Picture.get());
        int covered = 0;
        for (std::size_t i = 0; i < icon.pixels.size(); ++i) {
            ASSERT_TRUE(mask.pixels[i] == 0 || mask.pixels[i] == 0xFFFFFF);
            bool transparent = mask.pixels[i] == 0xFFFFFF;
            EXPECT_EQ(icon.pixels[i] == 0xFFFFFF, transparent) << i;
            covered += transparent ? 0 : 1;
        }
        EXPECT_GT(covered, 150);
    }
}

}  // namespace
