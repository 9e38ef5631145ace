#include "import/BarCodeDigits.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Published codes: the last digit of each is its check digit.
struct TKnownCode {
    const char* Code;
};

class PublishedCodesCarryTheirCheckDigit : public ::testing::TestWithParam<TKnownCode> {};

TEST_P(PublishedCodesCarryTheirCheckDigit, ComputedFromTheDigitsBeforeIt) {
    std::string code = GetParam().Code;
    EXPECT_EQ(EanCheckDigit(code.substr(0, code.size() - 1)), code.back());
    EXPECT_EQ(HasValidCheckDigit(code), true);
    // Any other last digit is wrong.
    code.back() = code.back() == '9' ? '0' : static_cast<char>(code.back() + 1);
    EXPECT_EQ(HasValidCheckDigit(code), false);
}

INSTANTIATE_TEST_SUITE_P(Ean13Ean8UpcA, PublishedCodesCarryTheirCheckDigit,
                         ::testing::Values(TKnownCode{"4006381333931"}, TKnownCode{"5901234123457"},
                                           TKnownCode{"9780306406157"}, TKnownCode{"0000000000000"},
                                           TKnownCode{"96385074"}, TKnownCode{"73513537"},
                                           TKnownCode{"036000291452"}),
                         [](const ::testing::TestParamInfo<TKnownCode>& code) {
                             return "Code" + std::string(code.param.Code);
                         });

TEST(BarCodeDigits, OnlyAllDigitTextsOfEightTwelveOrThirteenHaveACheckDigit) {
    struct TCase {
        const char* Code;
        std::optional<bool> Want;
    };
    const TCase cases[] = {
        {"", std::nullopt},
        {"0", std::nullopt},
        {"4006381333", std::nullopt},      // 10 digits: no check digit defined
        {"40063813339310", std::nullopt},  // 14 digits
        {"400638133393A", std::nullopt},   // a letter in place of the check digit
        {"4006381333 31", std::nullopt},   // a blank inside
        {"9638507", std::nullopt},         // 7 digits
        {"96385074", true},
    };
    for (const TCase& c : cases) EXPECT_EQ(HasValidCheckDigit(c.Code), c.Want) << c.Code;
}

TEST(BarCodeDigits, AllDigitsRule) {
    EXPECT_FALSE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits("12-3"));
    EXPECT_FALSE(IsAllDigits("+123"));
    EXPECT_FALSE(IsAllDigits("\xD0\x90"));  // Cyrillic А
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_EQ(EanCheckDigit(""), std::nullopt);
    EXPECT_EQ(EanCheckDigit("12a"), std::nullopt);
}

}  // namespace
