#include "skin/combo_keys.h"

#include <algorithm>

std::int32_t clsComboKeys::Add(std::int32_t cId, std::initializer_list<std::int32_t> Key) {
    if (Key.size() == 0 || count_ >= kMaxCombos) return 0;
    ComboEntry& entry = table_[count_++];
    entry.cId = cId;
    entry.length = static_cast<std::int16_t>(std::min<std::size_t>(Key.size(), kMaxCodes));
    entry.enabled = false;
    std::size_t i = 0;
    for (std::int32_t code : Key) {
        if (i == static_cast<std::size_t>(entry.length)) break;
        if (code < 0 || code > 255) return 0;
        entry.codes[i++] = static_cast<std::uint8_t>(code);
    }
    return cId;
}

void clsComboKeys::EnableCombo(std::int32_t cId, bool Value) {
    for (ComboEntry& entry : table_)
        if (cId == -1 || entry.cId == cId) entry.enabled = Value;
}

bool clsComboKeys::ComboEnabled(std::int32_t cId) const {
    bool enabled = false;
    for (const ComboEntry& entry : table_)
        if (entry.cId == cId) enabled = entry.enabled;
    return enabled;
}

void clsComboKeys::KeyPressed(std::uint8_t kValue) {
    std::copy(buffer_.begin() + 1, buffer_.end(), buffer_.begin());
    buffer_.back() = kValue;
    CompareCodes();
}

void clsComboKeys::CompareCodes() {
    for (int i = 0; i < count_; ++i) {
        ComboEntry& entry = table_[static_cast<std::size_t>(i)];
        if (!entry.enabled || entry.length < 1) continue;
        auto tail = buffer_.end() - entry.length;
        if (std::equal(entry.codes.begin(), entry.codes.begin() + entry.length, tail) && Pressed)
            Pressed(entry.cId);
    }
}
