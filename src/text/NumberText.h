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

// Decimal number rule: optional blanks, an optional sign, digits with an optional separator and
// fraction digits, an optional exponent ("E"/"e", optional sign, digits), optional blanks, nothing
// else. `separator` is the decimal separator ('.' for the whole program; ',' is allowed for the
// DBF encoding). A number beyond the double range breaks the rule; exact for plain decimals.
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
