// clsComboKeys: recognises registered key combinations (up to 30, each up to
// eight key codes) at the end of the stream of keys fed to it, and raises
// Pressed for every enabled combination that the last keys complete.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>

struct ComboEntry {
    std::int16_t length = 0;  // codes in use, 1 to 8; 0 in an unused entry
    std::int32_t cId = 0;
    std::array<std::uint8_t, 8> codes{};
    bool enabled = false;
};

class clsComboKeys {
public:
    static constexpr int kMaxCombos = 30;
    static constexpr int kMaxCodes = 8;

    // Registers a combination, disabled, and returns `cId`; 0 when no code is
    // given or the table is full. Codes after the eighth are dropped. A code
    // outside 0 to 255 overflows a byte: the entry stays registered with the
    // codes before it, and the result is 0.
    std::int32_t Add(std::int32_t cId, std::initializer_list<std::int32_t> Key);

    // Enables or disables every entry carrying `cId`; -1 means all entries.
    void EnableCombo(std::int32_t cId, bool Value);
    // The enabled flag of the last entry carrying `cId`; false when none does.
    bool ComboEnabled(std::int32_t cId) const;
    std::uint8_t Count() const { return count_; }

    // Feeds one key code (a virtual-key code) and compares.
    void KeyPressed(std::uint8_t kValue);
    // Raises Pressed for every enabled entry whose codes end the buffer.
    void CompareCodes();

    // Raised once per matching entry, in table order, with that entry's own id.
    std::function<void(std::int32_t cId)> Pressed;

private:
    std::array<std::uint8_t, kMaxCodes> buffer_{};  // [7] is the newest key
    std::array<ComboEntry, kMaxCombos> table_{};
    std::uint8_t count_ = 0;
};
