#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "text/Ascii.h"
#include "text/FixedPoint.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Exponents beyond any double's are kept at this size, so their sums cannot overflow.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

// Orders outside the double range, decided before from_chars so that absurd exponents never
// reach it: the largest double is about 1.8E308, the smallest positive one about 4.9E-324.
constexpr std::int64_t kMaxOrder = 310;
constexpr std::int64_t kMinOrder = -324;

// Position of the first non-zero digit, or DigitCount() when the number is zero.
std::size_t FirstSignificant(const TDecimalText& parts) {
    std::size_t p = 0;
    while (p < parts.DigitCount() && parts.Digit(p) == '0') ++p;
    return p;
}

// The decimal order of a non-zero number: it lies in [10^(order-1), 10^order).
std::int64_t Order(const TDecimalText& parts, std::size_t first) {
    return static_cast<std::int64_t>(parts.IntDigits.size()) - static_cast<std::int64_t>(first) +
           parts.Exponent;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return std::nullopt;
    // Hexadecimal is a value like any other: "$FFFFFFFF" does not fit, "-$80000000" does.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        int digit = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                              : static_cast<std::int64_t>(value));
}

std::optional<TDecimalText> SplitDecimalText(std::string_view text, char separator) {
    // Built in place and returned as the one named result: this runs for every number written.
    std::optional<TDecimalText> result(std::in_place);
    TDecimalText& parts = *result;
    const char* const p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && p[i] == ' ') ++i;
    if (i < n && (p[i] == '+' || p[i] == '-')) parts.Negative = p[i++] == '-';
    const std::size_t bodyStart = i;
    std::size_t start = i;
    while (i < n && IsDigit(p[i])) ++i;
    parts.IntDigits = std::string_view(p + start, i - start);
    if (i < n && p[i] == separator) {
        parts.HasSeparator = true;
        start = ++i;
        while (i < n && IsDigit(p[i])) ++i;
        parts.FracDigits = std::string_view(p + start, i - start);
    }
    bool valid = parts.DigitCount() > 0;
    if (valid && i < n && (p[i] == 'e' || p[i] == 'E')) {
        parts.HasExponent = true;
        ++i;
        bool negativeExponent = false;
        if (i < n && (p[i] == '+' || p[i] == '-')) negativeExponent = p[i++] == '-';
        valid = i < n && IsDigit(p[i]);
        std::int64_t exponent = 0;
        for (; i < n && IsDigit(p[i]); ++i)
            if (exponent < kExponentCap) exponent = exponent * 10 + (p[i] - '0');
        parts.Exponent = negativeExponent ? -exponent : exponent;
    }
    parts.Body = std::string_view(p + bodyStart, i - bodyStart);
    while (i < n && p[i] == ' ') ++i;
    if (!valid || i != n) result.reset();
    return result;
}

std::optional<double> DecimalTextValue(const TDecimalText& number) {
    std::size_t first = FirstSignificant(number);
    if (first == number.DigitCount()) return 0.0;
    std::int64_t order = Order(number, first);
    if (order > kMaxOrder) return std::nullopt;
    if (order <= kMinOrder) return 0.0;

    double value = 0;
    std::from_chars_result result;
    // from_chars knows only "." as the separator, which follows the integer digits.
    if (!number.HasSeparator || number.Body[number.IntDigits.size()] == '.') {
        result =
            std::from_chars(number.Body.data(), number.Body.data() + number.Body.size(), value);
    } else {
        std::string body(number.Body);
        body[number.IntDigits.size()] = '.';
        result = std::from_chars(body.data(), body.data() + body.size(), value);
        result.ptr = number.Body.data() + (result.ptr - body.data());
    }
    if (result.ec == std::errc::result_out_of_range) {
        if (order > 0) return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != number.Body.data() + number.Body.size()) {
        return std::nullopt;
    }
    return number.Negative ? -value : value;
}

std::optional<double> ParseDecimalText(std::string_view text, char separator) {
    std::optional<TDecimalText> parts = SplitDecimalText(text, separator);
    if (!parts) return std::nullopt;
    return DecimalTextValue(*parts);
}

std::optional<std::int64_t> ParseDecimalAmount(std::string_view text, char separator) {
    std::optional<TDecimalText> parts = SplitDecimalText(text, separator);
    if (!parts) return std::nullopt;

    const std::size_t count = parts->DigitCount();
    const std::size_t first = FirstSignificant(*parts);
    if (first == count) return 0;
    // An amount of order 20 or more is at least 10^19, beyond any signed 64-bit integer. Only
    // then can the text lie beyond the double range (and be no number at all): smaller ones
    // need no trip through a double.
    constexpr int kAmountDigits = 4;
    if (Order(*parts, first) + kAmountDigits > 19) {
        if (!DecimalTextValue(*parts)) return std::nullopt;
        throw EInvalidOp();
    }

    // Digit positions below `cut` land in the amount's integer part, the rest is rounded off.
    const std::int64_t cut =
        static_cast<std::int64_t>(parts->IntDigits.size()) + parts->Exponent + kAmountDigits;
    const auto signedCount = static_cast<std::int64_t>(count);
    std::uint64_t magnitude = 0;
    for (std::int64_t p = static_cast<std::int64_t>(first); p < cut && p < signedCount; ++p)
        magnitude = magnitude * 10 + static_cast<unsigned>(parts->Digit(p) - '0');
    for (std::int64_t p = signedCount; p < cut; ++p) magnitude *= 10;

    if (cut >= static_cast<std::int64_t>(first) && cut < signedCount) {
        char dropped = parts->Digit(static_cast<std::size_t>(cut));
        bool up = dropped > '5';
        if (dropped == '5') {
            bool beyondHalf = false;
            for (std::size_t p = static_cast<std::size_t>(cut) + 1; p < count && !beyondHalf; ++p)
                beyondHalf = parts->Digit(p) != '0';
            up = beyondHalf || (magnitude & 1) != 0;
        }
        if (up) ++magnitude;
    }

    constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int64_t>::max();
    if (magnitude > kMaxPositive + (parts->Negative ? 1 : 0)) throw EInvalidOp();
    if (!parts->Negative) return static_cast<std::int64_t>(magnitude);
    return magnitude == kMaxPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                         : -static_cast<std::int64_t>(magnitude);
}

namespace {

// A whole number of 1/10000 below 10^11 in magnitude (every quantity and price read from a
// report, and their sums): the double closest to such a decimal of at most 15 digits prints as
// exactly that decimal at 15 significant digits, so its form comes from integer arithmetic.
bool AppendAmountForm(double value, std::string& out) {
    const double scaled = value * 10000.0;
    if (!(std::fabs(scaled) < 1e15)) return false;
    const double whole = std::nearbyint(scaled);
    // Division is correctly rounded: equality says value is the double closest to whole / 10000.
    if (whole / 10000.0 != value) return false;
    const auto amount = static_cast<std::int64_t>(whole);
    const std::uint64_t magnitude =
        amount < 0 ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    if (amount < 0) out.push_back('-');
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude / 10000).ptr;
    out.append(digits, end);
    unsigned fraction = static_cast<unsigned>(magnitude % 10000);
    if (fraction != 0) {
        char text[5] = {'.'};
        for (int i = 4; i >= 1; --i, fraction /= 10)
            text[i] = static_cast<char>('0' + fraction % 10);
        std::size_t length = 5;
        while (text[length - 1] == '0') --length;
        out.append(text, length);
    }
    return true;
}

}  // namespace

void AppendFloatGeneralText(double value, std::string& out) {
    if (std::isnan(value) || std::isinf(value) || value == 0) {
        out.append(std::isnan(value) ? "NAN" : value == 0 ? "0" : value < 0 ? "-INF" : "INF");
        return;  // zero is "0", also for -0
    }
    if (AppendAmountForm(value, out)) return;

    // The "%.15g" shape (fixed for exponents -4..14, trailing zeros dropped), then the exponent
    // rewritten from "e+05" to "E5".
    char buffer[40];
    std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::size_t e = text.find('e');
    if (e == std::string_view::npos) {
        out.append(text);
        return;
    }

    out.append(text.substr(0, e));
    out.push_back('E');
    std::size_t i = e + 1;
    if (text[i] == '-') out.push_back('-');
    if (text[i] == '-' || text[i] == '+') ++i;
    while (i + 1 < text.size() && text[i] == '0') ++i;
    out.append(text.substr(i));
}

std::string FloatToGeneralText(double value) {
    std::string out;
    AppendFloatGeneralText(value, out);
    return out;
}

void AppendIntegerText(std::int64_t value, std::string& out) {
    char buffer[24];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string IntegerToText(std::int64_t value) {
    std::string out;
    AppendIntegerText(value, out);
    return out;
}
