#include "text/FixedPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/DecimalSeparator.h"
#include "text/Trim.h"

namespace {

struct TAmountCase {
    const char* Name;
    double Value;
    std::int64_t Want;
};

class FloatToAmountRule : public testing::TestWithParam<TAmountCase> {};

TEST_P(FloatToAmountRule, RoundsTheScaledValueHalfToEven) {
    EXPECT_EQ(FloatToAmount(GetParam().Value), GetParam().Want);
}

// 0.00005, 2.50005, 2.50015, 0.00025 and 0.00035 scale to exact halves in double arithmetic;
// 0.00015 scales to 1.4999999999999998, which is why text goes through the decimal digits.
INSTANTIATE_TEST_SUITE_P(
    FixedPoint, FloatToAmountRule,
    testing::Values(
        TAmountCase{"One", 1.0, 10000}, TAmountCase{"Price", 12.5, 125000},
        TAmountCase{"PriceOfTenths", 34.9, 349000}, TAmountCase{"HalfGoesToZero", 0.00005, 0},
        TAmountCase{"TwoAndAHalfGoesToTwo", 0.00025, 2},
        TAmountCase{"ThreeAndAHalfGoesToFour", 0.00035, 4}, TAmountCase{"EvenTie", 2.50005, 25000},
        TAmountCase{"OddTie", 2.50015, 25002}, TAmountCase{"NegativeTie", -0.00035, -4},
        TAmountCase{"NegativeHalfGoesToZero", -0.00005, 0},
        TAmountCase{"BelowTheTieInDouble", 0.00015, 1}, TAmountCase{"AboveHalf", 0.00006, 1},
        TAmountCase{"Zero", 0.0, 0}, TAmountCase{"NegativeZero", -0.0, 0},
        TAmountCase{"LargestBelowTheLimit", std::nextafter(922337203685477.6, 0.0),
                    9223372036854774784},
        TAmountCase{"SmallestFits", -922337203685477.6, std::numeric_limits<std::int64_t>::min()}),
    [](const testing::TestParamInfo<TAmountCase>& param) { return param.param.Name; });

struct TNoAmountCase {
    const char* Name;
    double Value;
};

class FloatToAmountDoesNotFit : public testing::TestWithParam<TNoAmountCase> {};

TEST_P(FloatToAmountDoesNotFit, RaisesTheFloatingPointError) {
    try {
        FloatToAmount(GetParam().Value);
        FAIL() << "no error for " << GetParam().Value;
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
}

// 922337203685477.6 x 10000 is exactly 2^63, one beyond the largest amount.
INSTANTIATE_TEST_SUITE_P(
    FixedPoint, FloatToAmountDoesNotFit,
    testing::Values(TNoAmountCase{"OneBeyondTheLargest", 922337203685477.6},
                    TNoAmountCase{"BelowTheSmallest", -922337203685477.8},
                    TNoAmountCase{"Huge", 1e300}, TNoAmountCase{"HugeNegative", -1e300},
                    TNoAmountCase{"Infinity", std::numeric_limits<double>::infinity()},
                    TNoAmountCase{"MinusInfinity", -std::numeric_limits<double>::infinity()},
                    TNoAmountCase{"NotANumber", std::numeric_limits<double>::quiet_NaN()}),
    [](const testing::TestParamInfo<TNoAmountCase>& param) { return param.param.Name; });

TEST(FixedPoint, AmountBackToFloatDividesByTenThousand) {
    EXPECT_EQ(AmountToFloat(10000), 1.0);
    EXPECT_EQ(AmountToFloat(125000), 12.5);
    EXPECT_EQ(AmountToFloat(349000), 34.9);
    EXPECT_EQ(AmountToFloat(2), 0.0002);
    EXPECT_EQ(AmountToFloat(-5), -0.0005);
    EXPECT_EQ(AmountToFloat(0), 0.0);
}

TEST(FixedPoint, AmountsSurviveTheTripThroughDouble) {
    for (std::int64_t amount : {std::int64_t{1}, std::int64_t{349000}, std::int64_t{-123456789},
                                std::int64_t{99999999999999}})
        EXPECT_EQ(FloatToAmount(AmountToFloat(amount)), amount);
}

struct TTrimCase {
    const char* Name;
    std::string Text;
    std::string Both;
    std::string Right;
};

class TrimRule : public testing::TestWithParam<TTrimCase> {};

TEST_P(TrimRule, RemovesCodesUpTo32) {
    EXPECT_EQ(Trim(GetParam().Text), GetParam().Both);
    EXPECT_EQ(TrimRight(GetParam().Text), GetParam().Right);
}

INSTANTIATE_TEST_SUITE_P(
    Trim, TrimRule,
    testing::Values(TTrimCase{"Empty", "", "", ""}, TTrimCase{"OnlyBlanks", "   ", "", ""},
                    TTrimCase{"Blanks", "  12 5  ", "12 5", "  12 5"},
                    TTrimCase{"ControlCodes", "\t\r\n\x01x\x1F\x0B", "x", "\t\r\n\x01x"},
                    TTrimCase{"CodeZero", std::string("\0a\0", 3), "a", std::string("\0a", 2)},
                    // 0x7F and the code page 866 letters lie above 32 and stay.
                    TTrimCase{"AboveThirtyTwo",
                              "\x7F"
                              "a\xA0",
                              "\x7F"
                              "a\xA0",
                              "\x7F"
                              "a\xA0"},
                    TTrimCase{"Code33Stays", "!a!", "!a!", "!a!"}),
    [](const testing::TestParamInfo<TTrimCase>& param) { return param.param.Name; });

TEST(DecimalSeparatorSetting, DefaultsToPointAndKeepsWhatIsSet) {
    EXPECT_EQ(DecimalSeparator(), '.');
    SetDecimalSeparator(',');
    EXPECT_EQ(DecimalSeparator(), ',');
    SetDecimalSeparator('.');
    EXPECT_EQ(DecimalSeparator(), '.');
}

}  // namespace
