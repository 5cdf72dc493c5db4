// The skin image store frmPics: six lists of bitmaps carried in the
// program's resources, decoded on first use and unchanged until the end.
#pragma once

#include <string>
#include <vector>

#include "platform/owned.h"
#include "skin/image_lookup.h"
#include "skin/skin_catalogue.h"

struct SkinImage {
    std::string Tag;
    OwnedBitmap Picture;  // empty only when the resource could not be read
};

using SkinImageList = std::vector<SkinImage>;

struct SkinImageStore {
    SkinImageList imgLstBG;       // main-window backgrounds and the logo strip
    SkinImageList imgLstMsgBG;    // message-box backgrounds
    SkinImageList imgLstButtons;  // main-window buttons with hover faces
    SkinImageList imgMsgBtn;      // message-box buttons with hover faces
    SkinImageList picBufferPass;  // 0: pass icon, 1: its mask
    SkinImageList picBufferFail;  // 0: fail icon, 1: its mask

    SkinImageList& List(SkinListId id);
    const SkinImageList& List(SkinListId id) const;
};

// The program's image store, loaded from the resources on the first call.
const SkinImageStore& frmPics();

// Builds a store from the resources of `module` (the program when null).
SkinImageStore LoadSkinImages(HMODULE module = nullptr);
