// Finding a skin image by its tag. Works on any list whose entries carry a
// text `Tag` (the image store's lists, or plain records in tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The index of the first entry whose tag equals `key` (exact, case-sensitive).
// The scan stops at the first untagged entry and at the end of the list;
// either way the answer is 0, so a key that no entry carries yields entry 0.
template <typename List>
std::int16_t FindImageIndex(const List& list, std::string_view key) {
    std::size_t index = 0;
    for (const auto& entry : list) {
        if (entry.Tag.empty()) return 0;
        if (entry.Tag == key) return static_cast<std::int16_t>(index);
        ++index;
    }
    return 0;
}

// True when the entry at `index` exists and carries a tag.
template <typename List>
bool ImageHasTag(const List& list, std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return false;
    return !list[static_cast<std::size_t>(index)].Tag.empty();
}
