#include "skin/message_buttons.h"

std::int32_t ButtonCode(std::string_view key) {
    for (const MessageButton& button : kMessageButtons)
        if (button.key == key) return button.code;
    return -1;
}

std::vector<std::string_view> ButtonSetForKind(std::int32_t kind) {
    switch (kind) {
        case 1: return {"abort", "retry", "ignore"};
        case 2: return {"help"};
        case 3: return {"ok", "cancel"};
        case 5: return {"retry", "cancel"};
        case 6: return {"yes", "no"};
        case 7: return {"yes", "no", "cancel"};
        case 8: return {"yes", "no", "yestoall", "notoall"};
        default: return {"ok"};
    }
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
