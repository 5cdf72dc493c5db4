#include "checks/setting_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(SettingNumbers, ParsingAndRounding) {
    EXPECT_EQ(ParseSettingNumber(" 970 "), 970.0);
    EXPECT_EQ(ParseSettingNumber("-1"), -1.0);
    EXPECT_EQ(ParseSettingNumber("+2.5"), 2.5);
    EXPECT_EQ(ParseSettingNumber(""), std::nullopt);
    EXPECT_EQ(ParseSettingNumber("1,5"), std::nullopt);
    EXPECT_EQ(ParseSettingNumber("1e3"), std::nullopt);
    EXPECT_EQ(ParseSettingNumber("nan"), std::nullopt);
    EXPECT_EQ(ParseSettingNumber(".5"), 0.5);
    for (const char* hostile :
         {"-", ".", "1.2.3", "0x10", "inf", "--1", "+-5", "-+5", "++5", "1 000", "1e999"})
        EXPECT_EQ(ParseSettingNumber(hostile), std::nullopt) << hostile;
    EXPECT_EQ(ParseSettingNumber(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(1599.6), 1600);
    // Far beyond 64 bits (many logical processors at a high measured clock).
    EXPECT_EQ(RoundHalfEven(1e30), INT64_MAX);
    EXPECT_EQ(RoundHalfEven(-1e30), INT64_MIN);
}

}  // namespace
