#include "skin/image_store.h"

#include "skin/picture_decoder.h"

namespace {

OwnedBitmap DecodeResource(HMODULE module, const char* name) {
    HRSRC found = ::FindResourceA(module, name, RT_RCDATA);
    if (!found) return {};
    DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return {};
    return DecodePicture(bytes, size);
}

}  // namespace

SkinImageList& SkinImageStore::List(SkinListId id) {
    switch (id) {
        case SkinListId::imgLstBG: return imgLstBG;
        case SkinListId::imgLstMsgBG: return imgLstMsgBG;
        case SkinListId::imgLstButtons: return imgLstButtons;
        case SkinListId::imgMsgBtn: return imgMsgBtn;
        case SkinListId::picBufferPass: return picBufferPass;
        case SkinListId::picBufferFail: break;
    }
    return picBufferFail;
}

const SkinImageList& SkinImageStore::List(SkinListId id) const {
    return const_cast<SkinImageStore*>(this)->List(id);
}

SkinImageStore LoadSkinImages(HMODULE module) {
    if (!module) module = ::GetModuleHandleA(nullptr);
    SkinImageStore store;
    for (const SkinArt& art : kSkinImages)
        store.List(art.list).push_back(
            SkinImage{std::string(art.tag), DecodeResource(module, art.resourceName)});
    return store;
}

const SkinImageStore& frmPics() {
    static const SkinImageStore store = LoadSkinImages();
    return store;
}
