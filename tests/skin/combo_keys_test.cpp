#include "skin/combo_keys.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint8_t kCredits[] = {119, 190, 191, 87, 73, 76, 79};  // F8 . / W I L O

class ComboKeysTest : public testing::Test {
protected:
    ComboKeysTest() {
        keys.Pressed = [this](std::int32_t cId) { fired.push_back(cId); };
    }
    void Type(std::initializer_list<std::uint8_t> codes) {
        for (std::uint8_t code : codes) keys.KeyPressed(code);
    }
    void TypeCredits() {
        for (std::uint8_t code : kCredits) keys.KeyPressed(code);
    }
    void RegisterCredits() {
        ASSERT_EQ(keys.Add(0, {119, 190, 191, 87, 73, 76, 79}), 0);
        keys.EnableCombo(-1, true);
    }

    clsComboKeys keys;
    std::vector<std::int32_t> fired;
};

TEST_F(ComboKeysTest, CreditsCombinationFiresOnItsLastKeyEveryTime) {
    RegisterCredits();
    Type({65, 66, 13});  // keys before the combination do not matter
    for (std::size_t i = 0; i + 1 < std::size(kCredits); ++i) keys.KeyPressed(kCredits[i]);
    EXPECT_TRUE(fired.empty());
    keys.KeyPressed(kCredits[6]);
    EXPECT_EQ(fired, std::vector<std::int32_t>{0});

    TypeCredits();
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(ComboKeysTest, AnyOtherKeyInBetweenPreventsIt) {
    RegisterCredits();
    Type({119, 190, 191, 87, 65, 73, 76, 79});
    EXPECT_TRUE(fired.empty());
}

TEST_F(ComboKeysTest, ARegisteredButNeverEnabledCombinationNeverFires) {
    EXPECT_EQ(keys.Add(5, {1, 2}), 5);
    EXPECT_FALSE(keys.ComboEnabled(5));
    Type({1, 2});
    EXPECT_TRUE(fired.empty());

    keys.EnableCombo(5, true);
    EXPECT_TRUE(keys.ComboEnabled(5));
    Type({1, 2});
    EXPECT_EQ(fired, std::vector<std::int32_t>{5});
    keys.EnableCombo(5, false);
    Type({1, 2});
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(ComboKeysTest, EightCodesCompareTheWholeBufferAndANinthIsDropped) {
    EXPECT_EQ(keys.Add(8, {1, 2, 3, 4, 5, 6, 7, 8, 9}), 8);
    keys.EnableCombo(8, true);
    Type({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(fired, std::vector<std::int32_t>{8});
    Type({9});
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(ComboKeysTest, TheTableHoldsThirtyCombinations) {
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(keys.Add(i, {i}), i);
    EXPECT_EQ(keys.Count(), 30);
    EXPECT_EQ(keys.Add(31, {31}), 0);
    EXPECT_EQ(keys.Count(), 30);
    EXPECT_EQ(keys.Add(32, {}), 0);
}

TEST_F(ComboKeysTest, SameCodesTwiceFireBothInTableOrder) {
    keys.Add(7, {10, 11});
    keys.Add(3, {10, 11});
    keys.Add(9, {11});
    keys.EnableCombo(-1, true);
    Type({10, 11});
    EXPECT_EQ(fired, (std::vector<std::int32_t>{7, 3, 9}));
}

TEST_F(ComboKeysTest, UnknownIdsChangeNothing) {
    keys.Add(4, {1});
    keys.EnableCombo(99, true);
    EXPECT_FALSE(keys.ComboEnabled(99));
    EXPECT_FALSE(keys.ComboEnabled(4));
    Type({1});
    EXPECT_TRUE(fired.empty());
}

TEST_F(ComboKeysTest, ACodeAboveAByteOverflowsButTheEntryStays) {
    EXPECT_EQ(keys.Add(6, {1, 256, 3}), 0);
    EXPECT_EQ(keys.Count(), 1);
    keys.EnableCombo(6, true);
    // Codes before the bad one kept, zeros after it.
    Type({1, 0, 0});
    EXPECT_EQ(fired, std::vector<std::int32_t>{6});
}

}  // namespace
