#include "app/CurrencyFormat.h"

#include <charconv>
#include <cmath>

namespace {

// The places of one money text: what stands before and after the number, and how many decimals
// follow the system's separator.
struct TMoneyParts {
    std::string Before;
    std::string After;
    int Decimals = 2;
};

// Splits a money text of 1 or -1 around its "1" ("$1.00" -> "$", "", 2).
TMoneyParts SplitMoneyText(const std::string& text, const std::string& point) {
    TMoneyParts parts;
    const std::size_t one = text.find('1');
    if (one == std::string::npos) return parts;
    parts.Before = text.substr(0, one);
    std::size_t end = one + 1;
    parts.Decimals = 0;
    if (!point.empty() && text.compare(end, point.size(), point) == 0) {
        end += point.size();
        while (end < text.size() && text[end] == '0') {
            ++parts.Decimals;
            ++end;
        }
    }
    parts.After = text.substr(end);
    return parts;
}

bool Contains(const std::string& text, const std::string& part) {
    return !part.empty() && text.find(part) != std::string::npos;
}

}  // namespace

TCurrencyFormat TCurrencyFormat::FromRegional(const TRegionalCurrency& regional) {
    TCurrencyFormat format;
    const TMoneyParts positive = SplitMoneyText(regional.PositiveText, regional.DecimalPoint);
    format.Prefix = positive.Before;
    format.Suffix = positive.After;
    format.Decimals = positive.Decimals;
    const TMoneyParts negative = SplitMoneyText(regional.NegativeText, regional.DecimalPoint);
    // Systems mark a negative amount with a sign (their own minus, which need not be "-") or
    // with brackets around the whole text; a form with neither gets a "-" in front.
    const auto marked = [&](const std::string& part) {
        return Contains(part, regional.MinusSign) || part.find_first_of("-()") != std::string::npos;
    };
    const bool hasSign = marked(negative.Before) || marked(negative.After);
    format.NegativePrefix = hasSign ? negative.Before : "-" + negative.Before;
    format.NegativeSuffix = negative.After;
    return format;
}

std::string TCurrencyFormat::Format(double value) const {
    const std::string digits = FixedText(std::fabs(value), Decimals);
    if (value < 0 && digits != FixedText(0.0, Decimals)) {
        return NegativePrefix + digits + NegativeSuffix;
    }
    return Prefix + digits + Suffix;
}

std::string TCurrencyFormat::EditText(double value) const {
    return FixedText(value, Decimals);
}

std::string FixedText(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (value == 0) value = 0.0;  // -0 is written "0"
    // The C library rounds an exact half to even; amounts are shown with the half going away
    // from zero. An exact half at `decimals` places is a value of m / 2^(decimals + 1) with m
    // odd: the next double away from zero is then rounded the intended way.
    const double scaled = std::ldexp(std::fabs(value), decimals + 1);
    if (std::isfinite(scaled) && std::fmod(scaled, 2.0) == 1.0) {
        value = std::nextafter(value, value < 0 ? -HUGE_VAL : HUGE_VAL);
    }
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return {};
    return std::string(buffer, result.ptr);
}
