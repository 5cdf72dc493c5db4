#include "skin/message_buttons.h"

#include <gtest/gtest.h>

#include <string>
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
    for (const auto& [kind, keys] : table) EXPECT_EQ(ButtonSetForKind(kind), keys) << kind;
}

TEST(ButtonSetForKind, KindsWithoutASetShowTheOkButton) {
    for (int kind : {0, 9, -1, 100}) EXPECT_EQ(ButtonSetForKind(kind), Keys{"ok"}) << kind;
}

TEST(ButtonCode, EveryKeyHasItsCode) {
    const std::vector<std::pair<std::string, int>> table = {
        {"no", 0},    {"yes", 1},   {"yestoall", 2}, {"notoall", 3}, {"cancel", 4},
        {"abort", 5}, {"retry", 6}, {"ignore", 7},   {"ok", 8},      {"help", 9}};
    for (const auto& [key, code] : table) EXPECT_EQ(ButtonCode(key), code) << key;
    EXPECT_EQ(ButtonCode("okover"), -1);
    EXPECT_EQ(ButtonCode("OK"), -1);
}

}  // namespace
