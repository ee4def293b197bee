#include "console/FaderMath.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct PositionCase {
    std::int32_t position;
    std::int32_t value;
    std::int32_t percent;
};

class FaderMathPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(FaderMathPosition, GivesTheLevelInBothUnits)
{
    EXPECT_EQ(PositionToLevel(GetParam().position, false), GetParam().value);
    EXPECT_EQ(PositionToLevel(GetParam().position, true), GetParam().percent);
    EXPECT_EQ(LevelToPosition(GetParam().value, false), GetParam().position)
        << "Value units come back unchanged";
}

INSTANTIATE_TEST_SUITE_P(FaderMath, FaderMathPosition,
                         ::testing::Values(PositionCase{255, 0, 0}, PositionCase{253, 2, 0},
                                           PositionCase{252, 3, 1}, PositionCase{128, 127, 49},
                                           PositionCase{127, 128, 50}, PositionCase{1, 254, 99},
                                           PositionCase{0, 255, 100}));

struct ConversionCase {
    std::int32_t raw;
    std::int32_t percent;
    std::int32_t rawAgain;
};

class FaderMathUnits : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(FaderMathUnits, ValuesToPercentAndBackTruncate)
{
    EXPECT_EQ(RawToPercent(GetParam().raw), GetParam().percent);
    EXPECT_EQ(PercentToRaw(GetParam().percent), GetParam().rawAgain);
}

INSTANTIATE_TEST_SUITE_P(FaderMath, FaderMathUnits,
                         ::testing::Values(ConversionCase{255, 100, 255},
                                           ConversionCase{128, 50, 127},
                                           ConversionCase{127, 49, 124}, ConversionCase{3, 1, 2},
                                           ConversionCase{1, 0, 0}));

TEST(FaderMath, HugeNumbersFromRefusedBoxesSaturateInsteadOfOverflowing)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(PercentToRaw(kMax), kMax);
    EXPECT_EQ(PercentToRaw(kMin), kMin);
    EXPECT_EQ(RawToPercent(kMax), 842150449);
    EXPECT_EQ(LevelToPosition(kMax, true), kMin);
    EXPECT_EQ(LevelToPosition(kMin, false), kMax);
    EXPECT_EQ(PositionToLevel(kMin, false), kMax);
}

} // namespace
