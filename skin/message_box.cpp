#include "skin/message_box.h"

#include <windows.h>

#include "platform/message_pump.h"
#include "platform/run_log.h"
#include "platform/window_class.h"
#include "skin/graphics.h"
#include "skin/image_store.h"
#include "skin/message_box_window.h"

namespace {
bool quietMessages = false;
}

void KeepMessagesQuiet() { quietMessages = true; }

void LoadMessageBoxForm() {
    frmPics();
    EnsureWindowClass(frmMSGBOX::kClassName, ForwardToOwner<frmMSGBOX>);
}

std::int32_t SkinnedMsgBox(const std::string& prompt, MessageKind kind) {
    LogLine({quietMessages ? "Message, not shown: " : "Message: ", prompt});
    if (quietMessages) return ButtonCode(ButtonSetForKind(kind).back());
    frmMSGBOX box;
    if (!box.Load()) {
        // Without a window of our own the message must still reach the user.
        ::MessageBoxA(nullptr, prompt.c_str(), "", MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
        std::vector<std::string_view> keys = ButtonSetForKind(kind);
        return ButtonCode(keys.back());
    }
    box.SetPrompt(prompt);
    ApplyBackground(box.hwnd(), box.image(), frmPics(), 1);
    box.Show();
    box.SetUpButtons(kind);
    box.Show();
    // A modal wait: other windows stay live, no processor time while idle.
    PumpUntil([&box] { return box.ButtonClicked || !box.Loaded(); });
    return box.ButtonResult;
}
