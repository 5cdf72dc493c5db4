#include "skin/message_buttons.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Keys = std::vector<std::string_view>;

TEST(ButtonSetForKind, EachKindShowsItsButtonsLeftToRight) {
    const std::vector<std::pair<int, Keys>> table = {
        {1, {"abort", "retry", "ignore"}},
        {2, {"help"}},
        {3, {"ok", "cancel"}},
        {4, {"ok"}},
        {5, {"retry", "cancel"}},
        {6, {"yes", "no"}},
        {7, {"yes", "no", "cancel"}},
        {8, {"yes", "no", "yestoall", "notoall"}},
    };
    for (const auto& [kind, keys] : table) EXPECT_EQ(ButtonSetForKind(static_cast<MessageKind>(kind)), keys) << kind;
}

TEST(ButtonSetForKind, KindsWithoutASetShowTheOkButton) {
    for (int kind : {0, 9, -1, 100}) EXPECT_EQ(ButtonSetForKind(static_cast<MessageKind>(kind)), Keys{"ok"}) << kind;
}

}  // namespace
