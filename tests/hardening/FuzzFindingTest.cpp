// Inputs the fuzz targets turned up, kept as plain cases so they hold without a fuzzer.

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <optional>
#include <string>

#include "text/FixedPoint.h"
#include "text/NumberText.h"

namespace {

// An amount is rounded from the digits as written, not from the double: here the double lies
// just below the half and would round down.
TEST(FuzzFinding, AmountRoundsFromTheDigitsNotFromTheDouble) {
    const std::string text = "005000005000.0000500000500000";
    EXPECT_EQ(ParseDecimalAmount(text), std::optional<std::int64_t>(50000050000001));
    std::optional<double> value = ParseDecimalText(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(FloatToAmount(*value), 50000050000000);
}

// The general float form keeps 15 digits, so the largest doubles show as a text beyond the
// range, which the decimal rule then refuses; one digit less stays readable.
TEST(FuzzFinding, LargestDoublesShowBeyondTheRange) {
    EXPECT_EQ(FloatToGeneralText(-DBL_MAX), "-1.79769313486232E308");
    EXPECT_EQ(ParseDecimalText("-1.79769313486232E308"), std::nullopt);
    EXPECT_EQ(FloatToGeneralText(1.79769313486231e308), "1.79769313486231E308");
    EXPECT_EQ(ParseDecimalText("1.79769313486231E308"),
              std::optional<double>(1.79769313486231e308));
}

}  // namespace
