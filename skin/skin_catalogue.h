// Every skin image the program carries: which list of the image store it
// belongs to, its tag, the resource that holds its GIF and its pixel size.
// Entries appear in list order and, within a list, in index order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>


// The provider's main background, which the main window's size follows.
inline constexpr std::int32_t kMainArtWidth = 588;
inline constexpr std::int32_t kMainArtHeight = 410;

enum class SkinListId {
    imgLstBG,
    imgLstMsgBG,
    imgLstButtons,
    imgMsgBtn,
    picBufferPass,
    picBufferFail,
};

struct SkinArt {
    SkinListId list;
    std::string_view tag;       // empty: the entry has no tag
    const char* resourceName;   // RCDATA name in skin_images.rc
    std::int32_t width;
    std::int32_t height;
};

inline constexpr std::array<SkinArt, 35> kSkinImages{{
    {SkinListId::imgLstBG, "default", "BG_DEFAULT", 354, 412},
    {SkinListId::imgLstBG, "text", "BG_TEXT", 131, 18},
    {SkinListId::imgLstBG, "tavrinsecure", "BG_TAVRINSECURE", kMainArtWidth, kMainArtHeight},

    {SkinListId::imgLstMsgBG, "", "MSGBG_PLAIN", 374, 194},
    {SkinListId::imgLstMsgBG, "", "MSGBG_LOGO", 374, 194},

    {SkinListId::imgLstButtons, "run", "BTN_RUN", 145, 38},
    {SkinListId::imgLstButtons, "runover", "BTN_RUNOVER", 145, 38},
    {SkinListId::imgLstButtons, "close", "BTN_CLOSE", 32, 32},
    {SkinListId::imgLstButtons, "closeover", "BTN_CLOSEOVER", 32, 32},
    {SkinListId::imgLstButtons, "bigclose", "BTN_BIGCLOSE", 145, 38},
    {SkinListId::imgLstButtons, "bigcloseover", "BTN_BIGCLOSEOVER", 145, 38},

    {SkinListId::imgMsgBtn, "no", "MSGBTN_NO", 81, 25},
    {SkinListId::imgMsgBtn, "noover", "MSGBTN_NOOVER", 81, 25},
    {SkinListId::imgMsgBtn, "yes", "MSGBTN_YES", 81, 25},
    {SkinListId::imgMsgBtn, "yesover", "MSGBTN_YESOVER", 81, 25},
    {SkinListId::imgMsgBtn, "yestoall", "MSGBTN_YESTOALL", 81, 25},
    {SkinListId::imgMsgBtn, "yestoallover", "MSGBTN_YESTOALLOVER", 81, 25},
    {SkinListId::imgMsgBtn, "notoall", "MSGBTN_NOTOALL", 81, 25},
    {SkinListId::imgMsgBtn, "notoallover", "MSGBTN_NOTOALLOVER", 81, 25},
    {SkinListId::imgMsgBtn, "cancel", "MSGBTN_CANCEL", 81, 25},
    {SkinListId::imgMsgBtn, "cancelover", "MSGBTN_CANCELOVER", 81, 25},
    {SkinListId::imgMsgBtn, "abort", "MSGBTN_ABORT", 81, 25},
    {SkinListId::imgMsgBtn, "abortover", "MSGBTN_ABORTOVER", 81, 25},
    {SkinListId::imgMsgBtn, "retry", "MSGBTN_RETRY", 81, 25},
    {SkinListId::imgMsgBtn, "retryover", "MSGBTN_RETRYOVER", 81, 25},
    {SkinListId::imgMsgBtn, "ignore", "MSGBTN_IGNORE", 81, 25},
    {SkinListId::imgMsgBtn, "ignoreover", "MSGBTN_IGNOREOVER", 81, 25},
    {SkinListId::imgMsgBtn, "ok", "MSGBTN_OK", 81, 25},
    {SkinListId::imgMsgBtn, "okover", "MSGBTN_OKOVER", 81, 25},
    {SkinListId::imgMsgBtn, "help", "MSGBTN_HELP", 81, 25},
    {SkinListId::imgMsgBtn, "helpover", "MSGBTN_HELPOVER", 81, 25},

    // The icon and its mask carry no tag: they are addressed by index.
    {SkinListId::picBufferPass, "", "PASS_ICON", 20, 20},
    {SkinListId::picBufferPass, "", "PASS_MASK", 20, 20},
    {SkinListId::picBufferFail, "", "FAIL_ICON", 20, 20},
    {SkinListId::picBufferFail, "", "FAIL_MASK", 20, 20},
}};
