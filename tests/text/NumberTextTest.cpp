#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include "text/FixedPoint.h"

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

template <typename T>
struct TCase {
    const char* Name;
    std::string Text;
    std::optional<T> Want;
};

template <typename T>
std::string CaseName(const testing::TestParamInfo<TCase<T>>& info) {
    return info.param.Name;
}

// --- integer text rule ---

class IntegerRule : public testing::TestWithParam<TCase<std::int32_t>> {};

TEST_P(IntegerRule, GivesTheValueOrNotAnInteger) {
    EXPECT_EQ(ParseIntegerText(GetParam().Text), GetParam().Want) << '"' << GetParam().Text << '"';
}

using TInt = TCase<std::int32_t>;

INSTANTIATE_TEST_SUITE_P(Decimal, IntegerRule,
                         testing::Values(TInt{"Zero", "0", 0}, TInt{"Plain", "123", 123},
                                         TInt{"LeadingBlanks", "   42", 42},
                                         TInt{"PlusSign", "+7", 7}, TInt{"MinusSign", "-7", -7},
                                         TInt{"LeadingZeros", "00000000002147483647", kInt32Max},
                                         TInt{"MinusZero", "-0", 0}),
                         CaseName<std::int32_t>);

INSTANTIATE_TEST_SUITE_P(Limits, IntegerRule,
                         testing::Values(TInt{"MaxFits", "2147483647", kInt32Max},
                                         TInt{"MaxPlusOneDoesNotFit", "2147483648", std::nullopt},
                                         TInt{"MinFits", "-2147483648", kInt32Min},
                                         TInt{"MinMinusOneDoesNotFit", "-2147483649", std::nullopt},
                                         TInt{"TwentyDigits", "99999999999999999999", std::nullopt},
                                         TInt{"Uint64Wraps", "18446744073709551617", std::nullopt}),
                         CaseName<std::int32_t>);

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, IntegerRule,
    testing::Values(TInt{"Dollar", "$FF", 255}, TInt{"DollarLowerCase", "$ff", 255},
                    TInt{"LowerX", "xA", 10}, TInt{"UpperX", "XA", 10}, TInt{"ZeroX", "0x1F", 31},
                    TInt{"ZeroUpperX", "0X1f", 31}, TInt{"MinusBeforeHex", "-$10", -16},
                    TInt{"PlusBeforeHex", "+$10", 16}, TInt{"MinusBeforeZeroX", "-0x10", -16},
                    TInt{"BlanksBeforeHex", "  $10", 16}, TInt{"MaxFits", "$7FFFFFFF", kInt32Max},
                    TInt{"MaxPlusOneDoesNotFit", "$80000000", std::nullopt},
                    TInt{"NegativeMinFits", "-$80000000", kInt32Min},
                    TInt{"NegativeMinMinusOneDoesNotFit", "-$80000001", std::nullopt},
                    TInt{"AllOnesDoesNotFit", "$FFFFFFFF", std::nullopt},
                    TInt{"DollarAlone", "$", std::nullopt}, TInt{"ZeroXAlone", "0x", std::nullopt},
                    TInt{"XAlone", "x", std::nullopt}, TInt{"NotAHexDigit", "$G", std::nullopt},
                    TInt{"SignAfterDollar", "$-5", std::nullopt},
                    TInt{"TwoPrefixes", "0x$1", std::nullopt},
                    TInt{"DoubleZeroX", "00x1", std::nullopt},
                    TInt{"HexDigitsWithoutPrefix", "1F", std::nullopt},
                    TInt{"TrailingBlank", "$10 ", std::nullopt}),
    CaseName<std::int32_t>);

INSTANTIATE_TEST_SUITE_P(
    Broken, IntegerRule,
    testing::Values(TInt{"Empty", "", std::nullopt}, TInt{"OnlyBlanks", "   ", std::nullopt},
                    TInt{"SignAlone", "+", std::nullopt}, TInt{"MinusAlone", "-", std::nullopt},
                    TInt{"TrailingBlankBreaksTheRule", "42 ", std::nullopt},
                    TInt{"LeadingTabIsNoBlank", "\t42", std::nullopt},
                    TInt{"BlankInside", "4 2", std::nullopt},
                    TInt{"BlankAfterSign", "- 5", std::nullopt},
                    TInt{"TwoSigns", "--5", std::nullopt},
                    TInt{"DecimalPoint", "1.0", std::nullopt},
                    TInt{"Exponent", "1e3", std::nullopt}, TInt{"Letters", "abc", std::nullopt}),
    CaseName<std::int32_t>);

// --- decimal number rule ---

struct TDecimalCase {
    const char* Name;
    std::string Text;
    char Separator;
    std::optional<double> Want;
};

class DecimalRule : public testing::TestWithParam<TDecimalCase> {};

TEST_P(DecimalRule, GivesTheNearestDoubleOrNoNumber) {
    const TDecimalCase& c = GetParam();
    EXPECT_EQ(ParseDecimalText(c.Text, c.Separator), c.Want) << '"' << c.Text << '"';
}

using TDec = TDecimalCase;
constexpr std::nullopt_t kNo = std::nullopt;

std::string DecimalName(const testing::TestParamInfo<TDecimalCase>& info) {
    return info.param.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Valid, DecimalRule,
    testing::Values(TDec{"Price", "12.5", '.', 12.5}, TDec{"PriceIsExact", "34.9", '.', 34.9},
                    TDec{"Blanks", "  12.5  ", '.', 12.5}, TDec{"Integer", "7", '.', 7.0},
                    TDec{"Plus", "+3", '.', 3.0}, TDec{"Minus", "-3", '.', -3.0},
                    TDec{"OnlyFraction", ".5", '.', 0.5}, TDec{"NoFraction", "5.", '.', 5.0},
                    TDec{"TenthIsNearest", "0.1", '.', 0.1}, TDec{"Exponent", "1E3", '.', 1000.0},
                    TDec{"LowerExponent", "1e3", '.', 1000.0},
                    TDec{"PlusExponent", "1E+3", '.', 1000.0},
                    TDec{"MinusExponent", "1E-3", '.', 0.001},
                    TDec{"FractionAndExponent", "-2.5e-2", '.', -0.025},
                    TDec{"LeadingZeros", "0000012.50", '.', 12.5},
                    TDec{"ManyDigits", "0.30000000000000000000000000000000001", '.', 0.3}),
    DecimalName);

INSTANTIATE_TEST_SUITE_P(
    Range, DecimalRule,
    testing::Values(TDec{"LargeFits", "1E308", '.', 1e308},
                    TDec{"LargestDouble", "1.7976931348623157E308", '.', DBL_MAX},
                    TDec{"BeyondTheRange", "1E309", '.', kNo},
                    TDec{"FarBeyondTheRange", "1E400", '.', kNo},
                    TDec{"NegativeBeyondTheRange", "-1E400", '.', kNo},
                    TDec{"HugeExponent", "1E99999999999999999999999", '.', kNo},
                    TDec{"ManyIntegerDigits", std::string(400, '9'), '.', kNo},
                    TDec{"SubnormalFits", "1E-320", '.', 1e-320},
                    TDec{"UnderflowIsZero", "1E-400", '.', 0.0},
                    TDec{"HugeNegativeExponent", "1E-99999999999999999999", '.', 0.0},
                    TDec{"ZeroWithHugeExponent", "0E99999999999", '.', 0.0},
                    TDec{"ShiftedBackIntoRange", "0." + std::string(400, '0') + "1E400", '.', 0.1}),
    DecimalName);

INSTANTIATE_TEST_SUITE_P(
    Broken, DecimalRule,
    testing::Values(TDec{"Empty", "", '.', kNo}, TDec{"Blank", " ", '.', kNo},
                    TDec{"PointAlone", ".", '.', kNo}, TDec{"SignAlone", "+", '.', kNo},
                    TDec{"CommaIsNoNumber", "2,5", '.', kNo},
                    TDec{"ExponentWithoutDigits", "1E", '.', kNo},
                    TDec{"ExponentSignWithoutDigits", "1E+", '.', kNo},
                    TDec{"ExponentAlone", "e5", '.', kNo},
                    TDec{"ThousandsSeparator", "1 000", '.', kNo},
                    TDec{"TwoPoints", "1.2.3", '.', kNo}, TDec{"Hex", "0x10", '.', kNo},
                    TDec{"DollarHex", "$10", '.', kNo}, TDec{"Infinity", "inf", '.', kNo},
                    TDec{"NotANumber", "nan", '.', kNo}, TDec{"Trailing", "1e5x", '.', kNo},
                    TDec{"TabIsNoBlank", "1\t", '.', kNo}, TDec{"BlankAfterSign", "- 1", '.', kNo}),
    DecimalName);

INSTANTIATE_TEST_SUITE_P(CommaSeparator, DecimalRule,
                         testing::Values(TDec{"Comma", "12,5", ',', 12.5},
                                         TDec{"PointIsNoNumber", "12.5", ',', kNo},
                                         TDec{"CommaWithExponent", "1,5E2", ',', 150.0},
                                         TDec{"OnlyFraction", ",5", ',', 0.5},
                                         TDec{"Integer", "7", ',', 7.0},
                                         TDec{"IntegerWithExponent", "7E1", ',', 70.0},
                                         TDec{"NegativeComma", "-0,25", ',', -0.25}),
                         DecimalName);

// The parts a valid text is taken apart into: the road of a typed number into a table field.
struct TSplitCase {
    const char* Name;
    std::string Text;
    char Separator;
    bool Negative;
    std::string IntDigits;
    std::string FracDigits;
    bool HasSeparator;
    bool HasExponent;
    std::int64_t Exponent;
};

class DecimalParts : public testing::TestWithParam<TSplitCase> {};

TEST_P(DecimalParts, KeepTheDigitsAsTyped) {
    const TSplitCase& c = GetParam();
    const std::optional<TDecimalText> parts = SplitDecimalText(c.Text, c.Separator);
    ASSERT_TRUE(parts.has_value()) << '"' << c.Text << '"';
    EXPECT_EQ(parts->Negative, c.Negative);
    EXPECT_EQ(parts->IntDigits, c.IntDigits);
    EXPECT_EQ(parts->FracDigits, c.FracDigits);
    EXPECT_EQ(parts->HasSeparator, c.HasSeparator);
    EXPECT_EQ(parts->HasExponent, c.HasExponent);
    EXPECT_EQ(parts->Exponent, c.Exponent);
}

INSTANTIATE_TEST_SUITE_P(
    Valid, DecimalParts,
    testing::Values(
        TSplitCase{"BlanksAndSignAroundZerosKept", "  -0012.500 ", '.', true, "0012", "500", true,
                   false, 0},
        TSplitCase{"PlusIsNotNegative", "+7", '.', false, "7", "", false, false, 0},
        TSplitCase{"OnlyFraction", ".5", '.', false, "", "5", true, false, 0},
        TSplitCase{"SeparatorWithoutFraction", "5.", '.', false, "5", "", true, false, 0},
        TSplitCase{"ExponentTakenApart", "2.5e-2", '.', false, "2", "5", true, true, -2},
        TSplitCase{"ZeroExponentIsAnExponent", "1E0", '.', false, "1", "", false, true, 0},
        TSplitCase{"CommaSeparator", "-12,5E+1", ',', true, "12", "5", true, true, 1}),
    [](const testing::TestParamInfo<TSplitCase>& item) { return std::string(item.param.Name); });

// --- fixed-point amounts from decimal text ---

class DecimalAmount : public testing::TestWithParam<TCase<std::int64_t>> {};

TEST_P(DecimalAmount, RoundsTheDigitsHalfToEven) {
    EXPECT_EQ(ParseDecimalAmount(GetParam().Text), GetParam().Want)
        << '"' << GetParam().Text << '"';
}

using TAmt = TCase<std::int64_t>;

INSTANTIATE_TEST_SUITE_P(
    TiesToEven, DecimalAmount,
    testing::Values(TAmt{"HalfOfOneGoesToZero", "0.00005", 0},
                    TAmt{"OneAndAHalfGoesToTwo", "0.00015", 2},
                    TAmt{"TwoAndAHalfGoesToTwo", "0.00025", 2},
                    TAmt{"ThreeAndAHalfGoesToFour", "0.00035", 4},
                    TAmt{"EvenBelow", "2.50005", 25000}, TAmt{"OddBelow", "2.50015", 25002},
                    TAmt{"NegativeTie", "-0.00015", -2}, TAmt{"NegativeTieToZero", "-0.00005", 0},
                    TAmt{"JustAboveHalf", "0.000051", 1},
                    TAmt{"FarDigitAboveHalf", "0.00005000000000000000000000001", 1},
                    TAmt{"JustBelowHalf", "0.00004999", 0}, TAmt{"TieByExponent", "25E-5", 2},
                    TAmt{"AboveByExponent", "123456E-6", 1235},
                    TAmt{"TrailingZerosAfterTie", "0.000150000", 2}),
    CaseName<std::int64_t>);

INSTANTIATE_TEST_SUITE_P(
    Values, DecimalAmount,
    testing::Values(TAmt{"One", "1", 10000}, TAmt{"Price", "12.5", 125000},
                    TAmt{"PriceNotThroughADouble", "34.9", 349000}, TAmt{"SmallestStep", "1E-4", 1},
                    TAmt{"FractionExponent", "1.5E-4", 2}, TAmt{"Exponent", "1.23456E2", 1234560},
                    TAmt{"Blanks", " 3.25 ", 32500}, TAmt{"Zero", "0", 0},
                    TAmt{"NegativeZero", "-0.0", 0},
                    TAmt{"ManyZeros", "1." + std::string(500, '0'), 10000},
                    TAmt{"ManyLeadingZeros", std::string(500, '0') + "12.5", 125000},
                    TAmt{"Tiny", "1E-300", 0}, TAmt{"UnderflowIsZero", "1E-400", 0},
                    TAmt{"LargestFits", "922337203685477.5807", kInt64Max},
                    TAmt{"SmallestFits", "-922337203685477.5808", kInt64Min},
                    TAmt{"LargeByExponent", "9.2233720368547E14", 9223372036854700000}),
    CaseName<std::int64_t>);

INSTANTIATE_TEST_SUITE_P(NoNumber, DecimalAmount,
                         testing::Values(TAmt{"Comma", "2,5", std::nullopt},
                                         TAmt{"Empty", "", std::nullopt},
                                         TAmt{"Letters", "abc", std::nullopt},
                                         TAmt{"BeyondTheDoubleRange", "1E400", std::nullopt}),
                         CaseName<std::int64_t>);

TEST(DecimalAmount, UsesTheGivenSeparator) {
    EXPECT_EQ(ParseDecimalAmount("0,00015", ','), 2);
    EXPECT_EQ(ParseDecimalAmount("0.00015", ','), std::nullopt);
}

struct TTextCase {
    const char* Name;
    std::string Text;
};

class AmountDoesNotFit : public testing::TestWithParam<TTextCase> {};

TEST_P(AmountDoesNotFit, RaisesTheFloatingPointError) {
    try {
        ParseDecimalAmount(GetParam().Text);
        FAIL() << "no error for " << GetParam().Text;
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
}

INSTANTIATE_TEST_SUITE_P(
    DecimalAmount, AmountDoesNotFit,
    testing::Values(TTextCase{"Huge", "1E300"}, TTextCase{"HugeNegative", "-1E300"},
                    TTextCase{"OneStepBeyondTheLargest", "922337203685477.5808"},
                    TTextCase{"OneStepBelowTheSmallest", "-922337203685477.5809"},
                    TTextCase{"RoundedBeyondTheLargest", "922337203685477.58075"},
                    TTextCase{"TenToTheFifteenth", "1E15"}, TTextCase{"TenToTheSixteenth", "1E16"},
                    TTextCase{"ThreeHundredAndOneDigits", "1" + std::string(300, '0')}),
    [](const testing::TestParamInfo<TTextCase>& param) { return param.param.Name; });

// --- general float form ---

struct TFloatCase {
    const char* Name;
    double Value;
    const char* Want;
};

class GeneralFloatForm : public testing::TestWithParam<TFloatCase> {};

TEST_P(GeneralFloatForm, ShowsAtMostFifteenSignificantDigits) {
    EXPECT_EQ(FloatToGeneralText(GetParam().Value), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(
    Text, GeneralFloatForm,
    testing::Values(TFloatCase{"One", 1, "1"}, TFloatCase{"Price", 12.5, "12.5"},
                    TFloatCase{"FourDecimals", 0.0001, "0.0001"},
                    TFloatCase{"FiveDecimalsTakeAnExponent", 0.00001, "1E-5"},
                    TFloatCase{"LargeTakesAnExponent", 1.5e20, "1.5E20"},
                    TFloatCase{"FifteenDigits", 123456789012345, "123456789012345"},
                    TFloatCase{"SixteenDigitsRoundToFifteen", 1234567890123456,
                               "1.23456789012346E15"},
                    TFloatCase{"NegativeHalf", -0.5, "-0.5"}, TFloatCase{"Zero", 0, "0"},
                    TFloatCase{"NegativeZeroIsZero", -0.0, "0"},
                    TFloatCase{"SumShownAtFifteenDigits", 0.1 + 0.2, "0.3"},
                    TFloatCase{"FifteenNines", 999999999999999, "999999999999999"},
                    TFloatCase{"TenToTheFifteenth", 1e15, "1E15"},
                    TFloatCase{"ThreeZerosAfterThePointStayDecimal", 0.00012345, "0.00012345"},
                    TFloatCase{"FourZerosAfterThePointTakeAnExponent", 0.000099999, "9.9999E-5"},
                    TFloatCase{"Tiny", 1.5e-10, "1.5E-10"}, TFloatCase{"Googol", 1e100, "1E100"},
                    TFloatCase{"LargeNegative", -1.5e20, "-1.5E20"},
                    TFloatCase{"Hundred", 100, "100"},
                    TFloatCase{"PriceWithoutExactBinary", 34.9, "34.9"},
                    TFloatCase{"FifteenDigitsWithADecimal", 12345678901234.5, "12345678901234.5"},
                    TFloatCase{"LargestDouble", DBL_MAX, "1.79769313486232E308"},
                    TFloatCase{"SmallestDouble", 5e-324, "4.94065645841247E-324"},
                    TFloatCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), "NAN"},
                    TFloatCase{"Infinity", std::numeric_limits<double>::infinity(), "INF"},
                    TFloatCase{"MinusInfinity", -std::numeric_limits<double>::infinity(), "-INF"}),
    [](const testing::TestParamInfo<TFloatCase>& param) { return param.param.Name; });

TEST(GeneralFloatForm, ReadsBackAsTheSameFifteenDigitValue) {
    for (double v : {12.5, 34.9, 0.0001, 1.23456789012345e-7, 98765.4321, 1e21}) {
        std::optional<double> back = ParseDecimalText(FloatToGeneralText(v));
        ASSERT_TRUE(back.has_value()) << v;
        EXPECT_EQ(*back, v);
    }
}

TEST(IntegerText, GivesDecimalDigitsWithMinus) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(-1), "-1");
    EXPECT_EQ(IntegerToText(1234567), "1234567");
    EXPECT_EQ(IntegerToText(kInt64Max), "9223372036854775807");
    EXPECT_EQ(IntegerToText(kInt64Min), "-9223372036854775808");
}

}  // namespace
