#include "app/CurrencyFormat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Regional settings as the systems give them: how 1 and -1 are written as money.
const TRegionalCurrency kPlain{"1.00", "-1.00", ".", "-"};
const TRegionalCurrency kDollarBrackets{"$1.00", "($1.00)", ".", "-"};
const TRegionalCurrency kRouble{"1,00\u00A0\u20BD", "-1,00\u00A0\u20BD", ",", "-"};
const TRegionalCurrency kKronaOwnMinus{"1,00\u00A0kr", "\u22121,00\u00A0kr", ",", "\u2212"};
const TRegionalCurrency kYenNoDecimals{"\uFFE51", "(\uFFE51)", ".", "-"};
const TRegionalCurrency kEuroInFront{"\u20AC 1,00", "\u20AC -1,00", ",", "-"};
const TRegionalCurrency kSignAfterNumber{"1.00 $", "1.00- $", ".", "-"};
const TRegionalCurrency kThreeDecimals{"1.000 KD", "-1.000 KD", ".", "-"};
const TRegionalCurrency kNoNegativeMark{"$1.00", "$1.00", ".", "-"};
const TRegionalCurrency kNothingRead{};

struct TFormatCase {
    const char* Name;
    const TRegionalCurrency* Regional;
    double Value;
    std::string Shown;
    std::string Edited;
};

class CurrencyFormatRule : public testing::TestWithParam<TFormatCase> {};

TEST_P(CurrencyFormatRule, ShowsTheRegionalSignWithAPointAndEditsPlainDigits) {
    const TCurrencyFormat format = TCurrencyFormat::FromRegional(*GetParam().Regional);
    EXPECT_EQ(format.Format(GetParam().Value), GetParam().Shown);
    EXPECT_EQ(format.EditText(GetParam().Value), GetParam().Edited);
}

INSTANTIATE_TEST_SUITE_P(
    CurrencyFormat, CurrencyFormatRule,
    testing::Values(
        TFormatCase{"PlainTwoDecimals", &kPlain, 12.5, "12.50", "12.50"},
        TFormatCase{"PlainNegative", &kPlain, -3.0, "-3.00", "-3.00"},
        TFormatCase{"SignInFrontNoThousandsSeparator", &kDollarBrackets, 1234567.5, "$1234567.50",
                    "1234567.50"},
        TFormatCase{"BracketsForNegatives", &kDollarBrackets, -3.0, "($3.00)", "-3.00"},
        TFormatCase{"SignBehindPointKept", &kRouble, 34.9, "34.90\u00A0\u20BD", "34.90"},
        TFormatCase{"MinusInFrontOfTheNumber", &kRouble, -1.25, "-1.25\u00A0\u20BD", "-1.25"},
        TFormatCase{"OwnMinusSignOnce", &kKronaOwnMinus, -3.0, "\u22123.00\u00A0kr", "-3.00"},
        TFormatCase{"NoDecimals", &kYenNoDecimals, 12.6, "\uFFE513", "13"},
        TFormatCase{"NoDecimalsNegative", &kYenNoDecimals, -12.4, "(\uFFE512)", "-12"},
        TFormatCase{"MinusBetweenSignAndNumber", &kEuroInFront, -2.0, "\u20AC -2.00", "-2.00"},
        TFormatCase{"MinusAfterTheNumber", &kSignAfterNumber, -2.0, "2.00- $", "-2.00"},
        TFormatCase{"ThreeDecimals", &kThreeDecimals, 0.5, "0.500 KD", "0.500"},
        TFormatCase{"NegativeFormWithoutMarkGetsAMinus", &kNoNegativeMark, -2.0, "-$2.00", "-2.00"},
        TFormatCase{"NothingReadGivesTwoPlainDecimals", &kNothingRead, -7.0, "-7.00", "-7.00"},
        TFormatCase{"RoundingToZeroShowsNoNegativeForm", &kDollarBrackets, -0.001, "$0.00",
                    "-0.00"},
        TFormatCase{"NegativeZeroIsZero", &kDollarBrackets, -0.0, "$0.00", "0.00"},
        TFormatCase{"SmallAmountRoundingAwayFromZeroKeepsItsForm", &kDollarBrackets, -0.005001,
                    "($0.01)", "-0.01"}),
    [](const testing::TestParamInfo<TFormatCase>& param) { return param.param.Name; });

struct TFixedCase {
    const char* Name;
    double Value;
    int Decimals;
    std::string Want;
};

class FixedTextRule : public testing::TestWithParam<TFixedCase> {};

TEST_P(FixedTextRule, RoundsToNearestAndAnExactHalfAwayFromZero) {
    EXPECT_EQ(FixedText(GetParam().Value, GetParam().Decimals), GetParam().Want);
}

// 0.125, 12.125, 0.0625 and 2.5 are exact halves in binary; 1.005 and 12.345 lie just below and
// just above theirs, so only their true value decides.
INSTANTIATE_TEST_SUITE_P(
    CurrencyFormat, FixedTextRule,
    testing::Values(TFixedCase{"ExactHalfGoesUp", 0.125, 2, "0.13"},
                    TFixedCase{"ExactHalfOfAPrice", 12.125, 2, "12.13"},
                    TFixedCase{"NegativeExactHalfGoesDown", -0.125, 2, "-0.13"},
                    TFixedCase{"HalfToAWholeNumber", 2.5, 0, "3"},
                    TFixedCase{"HalfOfZeroToAWholeNumber", 0.5, 0, "1"},
                    TFixedCase{"JustBelowAHalf", 1.005, 2, "1.00"},
                    TFixedCase{"JustAboveAHalf", 12.345, 2, "12.35"},
                    TFixedCase{"ExactHalfAtThreePlaces", 0.0625, 3, "0.063"},
                    TFixedCase{"TenthsPadded", 34.9, 2, "34.90"},
                    TFixedCase{"LargeAmount", 9999999.99, 2, "9999999.99"},
                    TFixedCase{"HugeWholeNumberIsNoHalf", 18014398509481984.0, 2,
                               "18014398509481984.00"},
                    TFixedCase{"NegativeZero", -0.0, 2, "0.00"}),
    [](const testing::TestParamInfo<TFixedCase>& param) { return param.param.Name; });

}  // namespace
