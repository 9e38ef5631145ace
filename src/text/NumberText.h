#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Integer text rule: optional leading blanks (code 32 only), an optional "+" or "-", then decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow, not even a
// blank; the value must fit a signed 32-bit integer, hexadecimal ones too ("$FFFFFFFF" does not,
// "-$80000000" does). Empty text breaks the rule (nullopt).
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// A text that follows the decimal number rule, taken apart. The number's digits are the integer
// digits followed by the fraction digits, at least one in all.
struct TDecimalText {
    bool Negative = false;
    std::string_view IntDigits;   // the digits before the separator
    std::string_view FracDigits;  // the digits after it
    bool HasSeparator = false;
    bool HasExponent = false;
    std::int64_t Exponent = 0;  // saturated far beyond any double's
    std::string_view Body;      // from the first digit or separator to the end of the exponent

    std::size_t DigitCount() const { return IntDigits.size() + FracDigits.size(); }
    // The number's digit at position p (from 0), p < DigitCount().
    char Digit(std::size_t p) const {
        return p < IntDigits.size() ? IntDigits[p] : FracDigits[p - IntDigits.size()];
    }
};

// Decimal number rule: optional blanks, an optional sign, digits with an optional separator and
// fraction digits, an optional exponent ("E"/"e", optional sign, digits), optional blanks, nothing
// else. `separator` is the decimal separator ('.' for the whole program; ',' is allowed for the
// DBF encoding). The text taken apart, or nullopt when it breaks the rule. Only the scan: the
// range of the number is left to its reader (DecimalTextValue, ParseDecimalAmount).
std::optional<TDecimalText> SplitDecimalText(std::string_view text, char separator = '.');

// The double nearest to the number, exact for plain decimals; nullopt beyond the double range.
std::optional<double> DecimalTextValue(const TDecimalText& number);

// The decimal number rule straight to a double: nullopt also for a number beyond its range.
std::optional<double> ParseDecimalText(std::string_view text, char separator = '.');

// The same rule, straight into a fixed-point amount (number x 10000, rounded to nearest, ties to
// even) computed from the decimal digits, not through a double, so 0.00015 gives 2 and 0.00005
// gives 0. nullopt when the text breaks the rule; throws EInvalidOp when the text is a valid
// number whose amount does not fit a signed 64-bit integer (for example 1E300).
std::optional<std::int64_t> ParseDecimalAmount(std::string_view text, char separator = '.');

// The general float form: at most 15 significant digits, trailing zeros dropped, a "." only when
// there is a fraction; fixed notation when the magnitude is at least 0.0001 and the integer part
// has at most 15 digits, otherwise "1E-5" / "1.5E20" style. Always "." as the separator.
// Zero (also -0) gives "0"; NaN and the infinities give "NAN", "INF" and "-INF".
std::string FloatToGeneralText(double value);

// Decimal digits of an integer with a leading "-" for negatives.
std::string IntegerToText(std::int64_t value);

// The same two forms appended to `out`: no allocation once `out` has room.
void AppendFloatGeneralText(double value, std::string& out);
void AppendIntegerText(std::int64_t value, std::string& out);
