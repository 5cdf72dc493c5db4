#include "skin/message_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/message_pump.h"
#include "skin/graphics.h"
#include "skin/image_store.h"
#include "skin/message_box_window.h"
#include "skin_test_support.h"

namespace {

HWND Slot(HWND box, int index) { return ::GetDlgItem(box, frmMSGBOX::kFirstSlotId + index); }

std::vector<std::string> VisibleSlotTags(frmMSGBOX& box) {
    std::vector<std::string> tags;
    for (PictureBox& slot : box.buttonSlots)
        if (slot.Visible()) tags.push_back(slot.Tag);
    return tags;
}

// Runs `act` on the box once it is up, from inside SkinnedMsgBox's wait.
class WhileShown {
public:
    explicit WhileShown(std::function<void(HWND box)> act) {
        pending = std::move(act);
        timer_ = ::SetTimer(nullptr, 0, 10, OnTimer);
    }
    ~WhileShown() { ::KillTimer(nullptr, timer_); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = FindThreadWindow(frmMSGBOX::kClassName);
        if (!box || !::IsWindowVisible(box) || !pending) return;
        auto act = std::move(pending);
        pending = nullptr;
        act(box);
    }
    static inline std::function<void(HWND)> pending;
    UINT_PTR timer_;
};

class MessageBoxTest : public testing::Test {
protected:
    void Open(std::int32_t kind, const std::string& prompt = "Prompt") {
        ASSERT_TRUE(box.Load());
        box.SetPrompt(prompt);
        ApplyBackground(box.hwnd(), box.image(), frmPics(), 1);
        box.Show();
        box.SetUpButtons(static_cast<MessageKind>(kind));
        box.Show();
        ProcessPendingEvents();
    }
    frmMSGBOX box;
};

TEST_F(MessageBoxTest, ButtonSetsFillTheSlotsFromTheLeft) {
    const std::vector<std::pair<int, std::vector<std::string>>> table = {
        {4, {"ok"}}, {8, {"yes", "no", "yestoall", "notoall"}}, {42, {"ok"}}};
    for (const auto& [kind, tags] : table) {
        Open(kind);
        EXPECT_EQ(VisibleSlotTags(box), tags) << kind;
        EXPECT_EQ(box.ButtonCount, static_cast<std::int16_t>(tags.size()));
        // Each slot shows its button's normal face.
        const SkinImageList& buttons = frmPics().imgMsgBtn;
        EXPECT_EQ(ReadSurfacePixels(box.buttonSlots[0].image().dc(), 81, 25).pixels,
                  PixelsOf(buttons[FindImageIndex(buttons, tags[0])].Picture.get()).pixels);
    }
}

TEST_F(MessageBoxTest, HoverFacesComeAndGoWithTheBackground) {
    Open(6);
    const SkinImageList& buttons = frmPics().imgMsgBtn;
    auto face = [&](const char* tag) {
        return PixelsOf(buttons[FindImageIndex(buttons, tag)].Picture.get()).pixels;
    };
    auto shown = [&](int slot) { return PixelsOnScreen(Slot(box.hwnd(), slot)).pixels; };

    ::SendMessageA(Slot(box.hwnd(), 0), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(shown(0), face("yesover"));
    EXPECT_TRUE(box.HoverActive());
    // Straight onto the next button: both stay in their hover face.
    ::SendMessageA(Slot(box.hwnd(), 1), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(shown(0), face("yesover"));
    EXPECT_EQ(shown(1), face("noover"));
    // Onto the background: every shown button is normal again.
    ::SendMessageA(box.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 20));
    EXPECT_EQ(shown(0), face("yes"));
    EXPECT_EQ(shown(1), face("no"));
    EXPECT_FALSE(box.HoverActive());
}

TEST_F(MessageBoxTest, LongPromptWrapsAndIsKeptWhole) {
    std::string prompt =
        "The specified value for colors must be in RGB format. ie: <forecolor><backcolor> = "
        "r,g,b where {r,g,b} are integers between 0 and 255.";
    Open(4, prompt);
    EXPECT_EQ(box.Prompt(), prompt);
    EXPECT_GE(::SendMessageA(box.txtMsg, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_FALSE(::GetWindowLongA(box.txtMsg, GWL_STYLE) & WS_VSCROLL);

    std::string longer;
    for (int i = 0; i < 20; ++i) longer += "Line " + std::to_string(i) + "\r\n";
    box.SetPrompt(longer);
    EXPECT_EQ(box.Prompt(), longer);
    EXPECT_TRUE(::GetWindowLongA(box.txtMsg, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(MessageBoxTest, OnlyAButtonClosesTheBox) {
    Open(4);
    ::SendMessageA(box.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(box.Loaded());
    ClickWindow(Slot(box.hwnd(), 0));
    EXPECT_TRUE(box.ButtonClicked);
    EXPECT_EQ(box.ButtonResult, 8);
    EXPECT_FALSE(box.Loaded());
}

TEST(SkinnedMsgBox, KindZeroShowsOneOkButton) {
    std::vector<std::string> seen;
    WhileShown click([&](HWND box) {
        for (int i = 0; i < 4; ++i)
            if (::IsWindowVisible(Slot(box, i))) seen.push_back("slot" + std::to_string(i));
        ClickWindow(Slot(box, 0));
    });
    EXPECT_EQ(SkinnedMsgBox("Hello", static_cast<MessageKind>(0)), 8);
    EXPECT_EQ(seen, std::vector<std::string>{"slot0"});
    EXPECT_EQ(FindThreadWindow(frmMSGBOX::kClassName), nullptr);
}

TEST(SkinnedMsgBox, ReturnsTheCodeOfTheClickedButton) {
    const std::vector<std::tuple<int, int, int>> table = {
        {8, 3, 3}, {8, 2, 2}, {7, 2, 4}, {6, 0, 1}, {1, 1, 6}, {2, 0, 9}};
    for (auto [kind, slot, code] : table) {
        WhileShown click([slot = slot](HWND box) { ClickWindow(Slot(box, slot)); });
        EXPECT_EQ(SkinnedMsgBox("Which?", static_cast<MessageKind>(kind)), code) << kind << "/" << slot;
    }
}

// Enter is the leftmost button, Esc the one that closes, as in the system's
// box; both also when the text box holds the focus after a click into it.
TEST(SkinnedMsgBox, EnterAndEscPressButtons) {
    const std::vector<std::tuple<int, WPARAM, bool, int>> table = {
        {4, VK_RETURN, false, 8}, {4, VK_ESCAPE, true, 8},  {3, VK_ESCAPE, false, 4},
        {7, VK_RETURN, true, 1},  {7, VK_ESCAPE, false, 4}, {5, VK_ESCAPE, true, 4}};
    for (auto [kind, key, inText, code] : table) {
        WhileShown press([key = key, inText = inText](HWND box) {
            HWND target = inText ? ::GetDlgItem(box, frmMSGBOX::kTextId) : box;
            ::SendMessageA(target, WM_KEYDOWN, key, 1);
        });
        EXPECT_EQ(SkinnedMsgBox("Which?", static_cast<MessageKind>(kind)), code) << kind << "/" << key;
    }
    // Yes and No alone: Esc closes nothing, the box waits for a choice.
    int keyDowns = 0;
    WhileShown press([&](HWND box) {
        ::SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 1);
        keyDowns += ::IsWindow(box) ? 1 : 0;
        char caption[32] = {};
        ::GetWindowTextA(Slot(box, 1), caption, sizeof caption);
        EXPECT_STREQ(caption, "NO") << "the face's caption, for screen readers";
        ClickWindow(Slot(box, 1));
    });
    EXPECT_EQ(SkinnedMsgBox("Yes or no?", kYesNo), 0);
    EXPECT_EQ(keyDowns, 1);
}

// The click itself comes from a timer that the wait dispatches.
TEST(SkinnedMsgBox, ShowsThePromptOnTop) {
    std::string text;
    bool topmost = false;
    WhileShown click([&](HWND box) {
        char buffer[256] = {};
        ::GetWindowTextA(::GetDlgItem(box, frmMSGBOX::kTextId), buffer, sizeof buffer);
        text = buffer;
        topmost = ::GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST;
        ClickWindow(Slot(box, 0));
    });
    SkinnedMsgBox("Coded by Wilo Dastorn!");
    EXPECT_EQ(text, "Coded by Wilo Dastorn!");
    EXPECT_TRUE(topmost);
}

}  // namespace
