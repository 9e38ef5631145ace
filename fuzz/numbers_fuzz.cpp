// The integer and decimal text rules, fixed-point amounts and the general float form, each held
// against a second, independent reading of the same text.
// Input: the text itself; its first 8 bytes also serve as a double and as a 64-bit amount.

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "text/FixedPoint.h"
#include "text/NumberText.h"

namespace {

// The integer rule read a second way: the digits go through std::from_chars.
std::optional<std::int32_t> ReferenceInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    std::string_view rest = text.substr(i);
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    if (rest.empty()) return std::nullopt;
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value, base);
    if (ec == std::errc::result_out_of_range) return std::nullopt;
    if (ec != std::errc() || end != rest.data() + rest.size()) return std::nullopt;
    if (negative ? value > 2147483648u : value > 2147483647u) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                              : static_cast<std::int64_t>(value));
}

// The decimal rule read a second way, through strtod, for texts made only of the rule's
// characters; nullopt when strtod cannot decide it (a text outside that alphabet).
struct TReference {
    bool Decided = false;
    std::optional<double> Value;
    bool Subnormal = false;
};

TReference ReferenceDecimal(std::string_view text) {
    TReference ref;
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        ref.Decided = true;
        return ref;
    }
    std::string body(text.substr(first, text.find_last_not_of(' ') - first + 1));
    if (body.find_first_not_of("0123456789+-.eE") != std::string::npos) return ref;
    if (body.size() > 400) return ref;
    ref.Decided = true;
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(body.c_str(), &end);
    if (end != body.c_str() + body.size()) return ref;
    if (errno == ERANGE && std::fabs(value) > 1) return ref;  // overflow breaks the rule
    ref.Subnormal = std::fabs(value) < DBL_MIN;
    ref.Value = value;
    return ref;
}

void CheckIntegers(std::string_view text) {
    std::optional<std::int32_t> value = ParseIntegerText(text);
    std::optional<std::int32_t> reference = ReferenceInteger(text);
    FUZZ_CHECK(value == reference, "integer rule disagrees with from_chars: [" + std::string(text) +
                                       "] " + (value ? std::to_string(*value) : "none") + " vs " +
                                       (reference ? std::to_string(*reference) : "none"));
    if (value) FUZZ_CHECK(ParseIntegerText(IntegerToText(*value)) == value, "integer round trip");
}

void CheckDecimals(std::string_view text) {
    std::optional<double> value = ParseDecimalText(text);
    std::optional<std::int64_t> amount;
    bool beyondRange = false;
    try {
        amount = ParseDecimalAmount(text);
    } catch (const EInvalidOp&) {
        beyondRange = true;
    }
    const std::string shown = "[" + std::string(text) + "]";
    FUZZ_CHECK(value.has_value() == (amount.has_value() || beyondRange),
               "amount and double rules disagree on " + shown);

    TReference reference = ReferenceDecimal(text);
    if (reference.Decided) {
        FUZZ_CHECK(value.has_value() == reference.Value.has_value(),
                   "decimal rule disagrees with strtod on " + shown);
        if (value && !reference.Subnormal)
            FUZZ_CHECK(*value == *reference.Value, "decimal value differs from strtod: " + shown);
    }
    if (!value) return;
    FUZZ_CHECK(std::isfinite(*value), "a number beyond the range was accepted: " + shown);

    // The same text with "," as separator reads the same.
    std::string comma(text);
    if (comma.find(',') == std::string::npos) {
        std::size_t dot = comma.find('.');
        if (dot != std::string::npos) comma[dot] = ',';
        FUZZ_CHECK(ParseDecimalText(comma, ',') == value, "separator changes the value: " + shown);
    }

    const double magnitude = std::fabs(*value);
    if (beyondRange) {
        FUZZ_CHECK(magnitude >= 9.2e14, "amount refused for a small number: " + shown);
        return;
    }
    FUZZ_CHECK(magnitude <= 9.23e14, "amount taken beyond the 64-bit range: " + shown);
    if (magnitude < 1e11) {
        // Away from a tie the double is exact enough to round to the same amount.
        std::int64_t viaDouble = FloatToAmount(*value);
        FUZZ_CHECK(std::llabs(viaDouble - *amount) <= 1, "amount far from the double: " + shown);
        double scaled = *value * 10000.0;
        double fraction = scaled - std::floor(scaled);
        // The double (and its product) may be off by a few units in the last place.
        if (std::fabs(fraction - 0.5) > std::fabs(scaled) * 1e-15 + 1e-9)
            FUZZ_CHECK(viaDouble == *amount, "amount differs from the double's: " + shown + " " +
                                                 std::to_string(*amount) + " vs " +
                                                 std::to_string(viaDouble));
    }
}

void CheckGeneralForm(double value) {
    std::string text = FloatToGeneralText(value);
    if (std::isnan(value)) {
        FUZZ_CHECK(text == "NAN", text);
        return;
    }
    if (std::isinf(value)) {
        FUZZ_CHECK(text == (value < 0 ? "-INF" : "INF"), text);
        return;
    }
    std::optional<double> back = ParseDecimalText(text);
    // 15 digits round the largest doubles up beyond the range ("1.79769313486232E308"): that
    // text is no number, as it would be for the program it imitates.
    if (std::fabs(value) > 1.797693134862315e308) {
        FUZZ_CHECK(!back.has_value(), "a number beyond the range read back: " + text);
        return;
    }
    FUZZ_CHECK(back.has_value(), "general form does not read back: " + text);
    // Subnormal numbers have fewer digits of their own than the form shows.
    const double tolerance = std::fabs(value) >= DBL_MIN ? std::fabs(value) * 1e-14 : DBL_MIN;
    FUZZ_CHECK(std::fabs(*back - value) <= tolerance,
               "general form loses more than 15 digits: " + text);
    FUZZ_CHECK(FloatToGeneralText(*back) == text, "general form is not stable: " + text);
    const bool exponent = text.find('E') != std::string::npos;
    const double magnitude = std::fabs(*back);
    if (magnitude != 0)
        FUZZ_CHECK(exponent == (magnitude < 1e-4 || magnitude >= 1e15),
                   "fixed or exponent form chosen wrongly: " + text);
    std::string mantissa = text.substr(0, text.find('E'));
    if (mantissa.find('.') != std::string::npos)
        FUZZ_CHECK(mantissa.back() != '0' && mantissa.back() != '.', "trailing zeros: " + text);
    std::size_t digits = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c >= '1' && c <= '9') leading = false;
        if (c >= '0' && c <= '9' && !leading) ++digits;
    }
    FUZZ_CHECK(digits <= 15, "more than 15 significant digits: " + text);
}

void CheckAmount(std::int64_t amount) {
    // Amounts up to 2^49 (about 5.6E10 as a number) survive the trip through the goods table's
    // double; beyond that the double's spacing times 10000 approaches 1.
    constexpr std::int64_t kExact = std::int64_t{1} << 49;
    if (amount > -kExact && amount < kExact)
        FUZZ_CHECK(FloatToAmount(AmountToFloat(amount)) == amount,
                   "amount round trip: " + std::to_string(amount));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckIntegers(text);
    CheckDecimals(text);
    if (size >= 8) {
        double value;
        std::int64_t amount;
        std::memcpy(&value, data, 8);
        std::memcpy(&amount, data, 8);
        CheckGeneralForm(value);
        CheckAmount(amount);
    }
    return 0;
}
