#include "skin/colour.h"

#include <gtest/gtest.h>

namespace {

struct ColourCase {
    const char* text;
    std::optional<std::uint32_t> colour;
};

class ColourFromTextTest : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourFromTextTest, ReadsRedGreenBlue) {
    EXPECT_EQ(ColourFromText(GetParam().text), GetParam().colour) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ColourFromTextTest,
    testing::Values(
        // The default settings and the progress bar's orange.
        ColourCase{"0,150,255", 16750080u}, ColourCase{"205,205,205", 13487565u},
        ColourCase{"255,135,0", 34815u},
        // Blanks around numbers are ignored; parts after the third too.
        ColourCase{" 1 , 2 ,\t3 ", 0x030201u}, ColourCase{"1,2,3,4", 0x030201u},
        ColourCase{"1,2,3,junk", 0x030201u},
        // Above 255 counts as 255, however large.
        ColourCase{"300,0,0", 255u}, ColourCase{"0,0,99999999999999", 0xFF0000u},
        // Fewer than three parts.
        ColourCase{"", std::nullopt}, ColourCase{"1,2", std::nullopt},
        ColourCase{"255", std::nullopt},
        // Not whole numbers from 0 up: the format message's rule.
        ColourCase{"-1,0,0", std::nullopt}, ColourCase{"1.5,0,0", std::nullopt},
        ColourCase{"red,green,blue", std::nullopt}, ColourCase{"1,,3", std::nullopt},
        ColourCase{"1 2,3,4", std::nullopt}));

}  // namespace
