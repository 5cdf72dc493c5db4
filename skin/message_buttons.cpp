#include "skin/message_buttons.h"

std::int32_t ButtonCode(std::string_view key) {
    for (const MessageButton& button : kMessageButtons)
        if (button.key == key) return button.code;
    return -1;
}

std::vector<std::string_view> ButtonSetForKind(MessageKind kind) {
    switch (kind) {
        case kAbortRetryIgnore: return {"abort", "retry", "ignore"};
        case kHelpOnly: return {"help"};
        case kOkCancel: return {"ok", "cancel"};
        case kRetryCancel: return {"retry", "cancel"};
        case kYesNo: return {"yes", "no"};
        case kYesNoCancel: return {"yes", "no", "cancel"};
        case kYesNoToAll: return {"yes", "no", "yestoall", "notoall"};
        case kOkOnly: break;
    }
    return {"ok"};
}

std::string_view ButtonCaption(std::string_view key) {
    for (const MessageButton& button : kMessageButtons)
        if (button.key == key) return button.caption;
    return {};
}

int EscapeSlot(const std::vector<std::string_view>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == "cancel") return static_cast<int>(i);
    return keys.size() == 1 ? 0 : -1;
}
