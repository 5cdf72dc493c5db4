// The message box's buttons: each key names a button image ("ok") and its
// hover image ("okover") and returns its code when clicked; each message
// kind shows a fixed set of keys from left to right.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct MessageButton {
    std::string_view key;
    std::string_view caption;  // what the button image shows
    std::int32_t code;
};

inline constexpr std::array<MessageButton, 10> kMessageButtons{{
    {"no", "NO", 0},
    {"yes", "YES", 1},
    {"yestoall", "YES TO ALL", 2},
    {"notoall", "NO TO ALL", 3},
    {"cancel", "CANCEL", 4},
    {"abort", "ABORT", 5},
    {"retry", "RETRY", 6},
    {"ignore", "IGNORE", 7},
    {"ok", "OK", 8},
    {"help", "HELP", 9},
}};

inline constexpr int kButtonSlots = 4;

// Which buttons a box shows. The numbers are the kinds of the original
// interface; any other number shows the OK button, so every box can close.
enum MessageKind : std::int32_t {
    kAbortRetryIgnore = 1,
    kHelpOnly = 2,
    kOkCancel = 3,
    kOkOnly = 4,
    kRetryCancel = 5,
    kYesNo = 6,
    kYesNoCancel = 7,
    kYesNoToAll = 8,
};

// The code of the button with that key; -1 for a key that is no button.
std::int32_t ButtonCode(std::string_view key);

// The keys shown for a message kind, slot 0 first.
std::vector<std::string_view> ButtonSetForKind(MessageKind kind);

// What the face of the button with that key says ("YES TO ALL"); empty for
// a key that is no button.
std::string_view ButtonCaption(std::string_view key);

// The slot that Esc presses, as in the system's message box: Cancel when the
// set has one, the only button of a one-button set, else none (-1).
int EscapeSlot(const std::vector<std::string_view>& keys);
