// Stand-in until the skinned box exists: the system box with the same prompt.
#include "skin/message_box.h"

#include <windows.h>

std::int32_t SkinnedMsgBox(const std::string& prompt, std::int32_t& kind) {
    if (kind == 0) kind = 4;
    ::MessageBoxA(nullptr, prompt.c_str(), "", MB_OK | MB_TOPMOST);
    return 8;
}

std::int32_t SkinnedMsgBox(const std::string& prompt, std::int32_t&& kind) {
    std::int32_t k = kind;
    return SkinnedMsgBox(prompt, k);
}
