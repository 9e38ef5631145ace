#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/CodePage.h"
#include "text/NumberText.h"

namespace {

// "%.15G" with the exponent written the way the general float form writes it ("1.5E20", "1E-5").
std::string PrintfGeneral(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);
    std::size_t e = text.find('E');
    if (e == std::string::npos) return text;
    std::string exponent = text.substr(e + 1);
    std::string sign = exponent[0] == '-' ? "-" : "";
    std::size_t digits = exponent.find_first_not_of("+-0");
    return text.substr(0, e + 1) + sign +
           (digits == std::string::npos ? "0" : exponent.substr(digits));
}

// Whole numbers of 1/10000 (prices and quantities) take a shortcut past the double conversion;
// both roads must print what "%.15G" prints, on both sides of every boundary of the shortcut.
TEST(GeneralFloatForm, AgreesWithPrintfForAmountsAndOtherDoubles) {
    std::vector<double> values = {0.0001,
                                  0.00015,
                                  0.00005,
                                  0.1,
                                  0.3,
                                  1.0 / 3,
                                  12.5,
                                  -12.5,
                                  34.9,
                                  1e10,
                                  99999999999.9999,
                                  1e11,
                                  1e11 + 0.0001,
                                  123456789012.3456,
                                  1e14,
                                  1e15,
                                  1e16,
                                  1e-5,
                                  -1e-5,
                                  2.5e-7,
                                  1e300,
                                  -1e300,
                                  5e-324,
                                  std::numeric_limits<double>::max(),
                                  999999999999999.0,
                                  0.30000000000000004,
                                  4503599627370497.0};
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        // Amounts of every length up to 15 digits, and arbitrary doubles.
        std::int64_t limit = 1;
        for (int d = static_cast<int>(random() % 15) + 1; d > 0; --d) limit *= 10;
        auto amount = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(limit));
        values.push_back((random() % 2 ? -1 : 1) * static_cast<double>(amount) / 10000.0);
        double bits;
        std::uint64_t raw = random();
        std::memcpy(&bits, &raw, sizeof bits);
        if (std::isfinite(bits)) values.push_back(bits);
    }
    for (double value : values) {
        ASSERT_EQ(FloatToGeneralText(value), value == 0 ? "0" : PrintfGeneral(value)) << value;
    }
}

TEST(GeneralFloatForm, AppendingKeepsWhatWasThere) {
    std::string out = "Price ";
    AppendFloatGeneralText(12.5, out);
    AppendFloatGeneralText(-0.0, out);
    AppendFloatGeneralText(1e20, out);
    AppendFloatGeneralText(-std::numeric_limits<double>::infinity(), out);
    AppendFloatGeneralText(std::nan(""), out);
    EXPECT_EQ(out, "Price 12.501E20-INFNAN");
    out = "=";
    AppendIntegerText(-2147483648LL, out);
    AppendIntegerText(0, out);
    EXPECT_EQ(out, "=-21474836480");
}

TEST(OemBuffer, ReplacesTheBufferWithTheSameBytesAsTheReturningForm) {
    const std::string texts[] = {
        "", "KOD 123", "Группа 5", "Ёлка № 1 “в кавычках”", "\xC3\x28z", "Масло моторное 5W-40 4л"};
    std::string out = std::string(100, 'x');  // longer than every result: must be replaced
    for (const std::string& text : texts) {
        AnsiToOemText(text, out);
        EXPECT_EQ(out, AnsiToOemText(text)) << text;
    }
}

}  // namespace
