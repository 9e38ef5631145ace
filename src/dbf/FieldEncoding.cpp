#include "dbf/FieldEncoding.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "dbf/DBF.h"
#include "text/Ascii.h"
#include "text/DecimalSeparator.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

constexpr const char* kFieldNumber = "SetFieldData: Неверный номер поля: ";
constexpr const char* kSize = "SetFieldData: Недопустимый размер данных\rРяд: ";
constexpr const char* kData = "SetFieldData: Ошибка данных - Ряд: ";
constexpr const char* kField = ", Поле: ";

// The longest keyword of a logical field ("FALSE"): accepted even where the field is shorter.
constexpr std::size_t kLogicalInputLength = 5;

// Room for any value that can fit a field, plus a sign and a carry digit.
constexpr std::size_t kOutCapacity = DbfFormat::MaxFieldLength + 2;

struct TOut {
    std::array<char, kOutCapacity> Bytes;
    std::size_t Length = 0;
};

// A piece of a date: optional leading blanks, then one or more decimal digits.
bool ParseDatePiece(std::string_view piece, int& value) {
    std::size_t i = 0;
    while (i < piece.size() && piece[i] == ' ') ++i;
    if (i == piece.size()) return false;
    value = 0;
    for (; i < piece.size(); ++i) {
        if (!IsDigit(piece[i])) return false;
        value = value * 10 + (piece[i] - '0');
    }
    return true;
}

std::string_view Piece(std::string_view text, std::size_t position) {
    return position < text.size() ? text.substr(position, 2) : std::string_view();
}

// dd.mm.yy (the separators are not looked at) to yyyymmdd; yy 00-50 is 2000-2050, 51-99 1951-1999.
bool EncodeDate(std::string_view text, TOut& out) {
    int day = 0, month = 0, year = 0;
    if (!ParseDatePiece(Piece(text, 0), day) || !ParseDatePiece(Piece(text, 3), month) ||
        !ParseDatePiece(Piece(text, 6), year)) {
        return false;
    }
    year += 1900;
    if (year <= 1950) year += 100;
    if (!DbfFormat::IsValidDate(year, month, day)) return false;
    const int parts[3] = {year, month, day};
    const int widths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        int v = parts[p];
        for (int w = widths[p] - 1; w >= 0; --w) {
            out.Bytes[out.Length + static_cast<std::size_t>(w)] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        out.Length += static_cast<std::size_t>(widths[p]);
    }
    return true;
}

// A number as its significant decimal digits (no leading or trailing zeros; "0" for zero) and the
// power of ten of the first one.
struct TDigits {
    char Digits[24];
    std::size_t Count = 0;
    int Exponent = 0;
    bool Negative = false;  // only for a non-zero number
};

// The digits of the shortest decimal form that reads back as the same double.
bool ShortestDigits(double value, TDigits& d) {
    char sci[40];
    auto [end, ec] =
        std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific);
    if (ec != std::errc()) return false;
    // sci is "d[.ddd]e[+-]xx".
    const char* p = sci;
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.') d.Digits[d.Count++] = *p;
    }
    if (p < end) {
        const char* e = p + 1;
        if (e < end && *e == '+') ++e;
        std::from_chars(e, end, d.Exponent);
    }
    d.Negative = value < 0;
    return true;
}

constexpr std::size_t kExactDigits = 15;  // every decimal of this many digits survives a double

// The digits as typed of a number without exponent and with at most 15 significant digits: a
// double keeps such a number exactly, so its shortest form is those digits and the trip through
// a double can be skipped. False, with `d` untouched, for any other number.
bool TypedDigits(const TDecimalText& number, TDigits& d) {
    if (number.HasExponent) return false;
    const std::size_t total = number.DigitCount();
    std::size_t first = 0;
    while (first < total && number.Digit(first) == '0') ++first;
    if (first == total) {
        d.Digits[0] = '0';
        d.Count = 1;
        return true;
    }
    std::size_t last = total - 1;
    while (number.Digit(last) == '0') --last;
    if (last - first + 1 > kExactDigits) return false;
    for (std::size_t p = first; p <= last; ++p) d.Digits[d.Count++] = number.Digit(p);
    d.Exponent = static_cast<int>(number.IntDigits.size()) - 1 - static_cast<int>(first);
    d.Negative = number.Negative;
    return true;
}

// Fixed-point text of the number with `decimals` digits after ".", at most `width` characters;
// false when it does not fit. Rounding works on the shortest decimal form that reads back as the
// same double (the digits the user typed, for any plain decimal input), half away from zero, so
// 2.675 gives 2.68 and -0.125 gives -0.13, where rounding the binary value would give 2.67.
// A result that rounds to zero carries no sign.
bool FormatFixed(const TDigits& d, std::size_t decimals, std::size_t width, TOut& out) {
    // The digit standing for 10^power.
    auto digitFor = [&](long power) -> char {
        long k = d.Exponent - power;
        return k >= 0 && k < static_cast<long>(d.Count) ? d.Digits[k] : '0';
    };
    const long topPower = d.Exponent > 0 ? d.Exponent : 0;
    const std::size_t intLength = static_cast<std::size_t>(topPower) + 1;
    const std::size_t bodyLength = intLength + (decimals > 0 ? decimals + 1 : 0);
    if (bodyLength > width) return false;

    // Body at Bytes[2..]: one slot for a carry digit and one for the sign in front.
    char* body = out.Bytes.data() + 2;
    std::size_t n = 0;
    for (long power = topPower; power >= 0; --power) body[n++] = digitFor(power);
    if (decimals > 0) {
        body[n++] = '.';
        for (long power = -1; power >= -static_cast<long>(decimals); --power) {
            body[n++] = digitFor(power);
        }
    }
    bool carry = digitFor(-static_cast<long>(decimals) - 1) >= '5';
    for (std::size_t i = n; carry && i-- > 0;) {
        if (body[i] == '.') continue;
        if (body[i] == '9') {
            body[i] = '0';
        } else {
            ++body[i];
            carry = false;
        }
    }
    char* start = body;
    if (carry) *--start = '1';
    bool zero = true;
    for (char* c = start; c < body + n; ++c) {
        if (*c >= '1' && *c <= '9') zero = false;
    }
    if (d.Negative && !zero) *--start = '-';
    std::size_t length = static_cast<std::size_t>(body + n - start);
    if (length > width) return false;
    std::memmove(out.Bytes.data(), start, length);
    out.Length = length;
    return true;
}

// Encodes `text` (its trailing blanks already dropped) for a field of the descriptor's type into
// `out`, pointing `result` at the bytes to store. Nothing outside `out` and `result` changes.
TFieldFit EncodeValue(char type, std::size_t width, std::size_t decimals, std::string_view text,
                      TOut& out, std::string_view& result) {
    if (text.size() > width && !(type == 'L' && text.size() <= kLogicalInputLength)) {
        return ffTooLong;
    }
    result = text;
    if (!text.empty()) {
        switch (type) {
            case 'D':
                if (!EncodeDate(text, out)) return ffNotValid;
                result = std::string_view(out.Bytes.data(), out.Length);
                break;
            case 'F':
            case 'N': {
                // With "," as the separator, a "." typed by habit in a number without "," is
                // taken as the separator.
                const char separator = DecimalSeparator();
                const char inText =
                    separator == ',' && text.find(',') == std::string_view::npos ? '.' : separator;
                const std::optional<TDecimalText> number = SplitDecimalText(text, inText);
                if (!number) return ffNotValid;
                TDigits digits;
                // The separator "," (never the program's own) takes every number through a
                // double, so that road stays in use and can be held to the same bytes.
                if (separator != '.' || !TypedDigits(*number, digits)) {
                    const std::optional<double> value = DecimalTextValue(*number);
                    if (!value || !std::isfinite(*value)) return ffNotValid;
                    if (!ShortestDigits(*value, digits)) return ffTooLong;
                }
                // Always ".", whatever the separator; a number too long for the field is
                // refused rather than cut.
                if (!FormatFixed(digits, decimals, width, out)) return ffTooLong;
                result = std::string_view(out.Bytes.data(), out.Length);
                break;
            }
            case 'L': {
                // Longer text (a foreign, wider L field) matches no keyword.
                char upper[kLogicalInputLength] = {};
                std::size_t length = text.size() <= kLogicalInputLength ? text.size() : 0;
                for (std::size_t i = 0; i < length; ++i) upper[i] = AsciiUpper(text[i]);
                std::string_view word(upper, length);
                out.Bytes[0] = word == "TRUE" || word == "YES"   ? 'T'
                               : word == "FALSE" || word == "NO" ? 'F'
                                                                 : ' ';
                out.Length = 1;
                result = std::string_view(out.Bytes.data(), out.Length);
                break;
            }
            default:
                break;
        }
    }
    // Only a foreign descriptor (a D field shorter than 8) can get here with too long a result.
    return result.size() > width ? ffTooLong : ffFits;
}

}  // namespace

void TDBF::RaiseSizeError(std::int32_t FieldNo) const {
    throw ED(kSize + std::to_string(FRecNo) + kField + std::to_string(FieldNo));
}

void TDBF::RaiseDataError(std::int32_t FieldNo) const {
    throw ED(kData + std::to_string(FRecNo) + kField + std::to_string(FieldNo));
}

void TDBF::SetFieldData(std::int32_t FieldNo, const std::string& Value) {
    SetFieldData(FieldNo, std::string_view(Value));
}

TFieldFit FieldValueFit(TFldType type, std::uint8_t size, std::uint8_t precision,
                        std::string_view value) {
    // The descriptor AddFieldDefs makes of these arguments.
    char letter = 'C';
    std::size_t width = size;
    std::size_t decimals = 0;
    switch (type) {
        case fldLogical:
            letter = 'L', width = 1;
            break;
        case fldDate:
            letter = 'D', width = 8;
            break;
        case fldFloat:
        case fldNumeric:
            letter = type == fldFloat ? 'F' : 'N', decimals = precision;
            break;
        case fldChar:
            break;
    }
    TOut out;
    std::string_view result;
    return EncodeValue(letter, width, decimals, TrimRight(value), out, result);
}

namespace {

// Puts `value` into `field` (the field's bytes in a record), aligned and padded as its type wants,
// once it is known to fit; the field is untouched otherwise.
TFieldFit EncodeField(const TDbfFieldDesc& desc, std::string_view value, char* field) {
    const std::size_t width = desc.Length;
    // Everything is converted aside; the record buffer changes only once the value is good.
    TOut out;
    std::string_view result;
    const TFieldFit fit =
        EncodeValue(desc.Type, width, desc.Decimals, TrimRight(value), out, result);
    if (fit != ffFits) return fit;
    const bool rightAligned = desc.Type == 'F' || desc.Type == 'M' || desc.Type == 'N';
    const std::size_t blanks = width - result.size();
    if (rightAligned) {
        std::memset(field, ' ', blanks);
        std::memcpy(field + blanks, result.data(), result.size());
    } else {
        std::memcpy(field, result.data(), result.size());
        std::memset(field + result.size(), ' ', blanks);
    }
    return ffFits;
}

}  // namespace

void TDBF::SetFieldData(std::int32_t FieldNo, std::string_view Value) {
    if (FieldNo < 1 || FieldNo > FFieldCount) throw ED(kFieldNumber + std::to_string(FieldNo));
    const auto index = static_cast<std::size_t>(FieldNo - 1);
    const TFieldFit fit =
        EncodeField(FFieldDefs[index], Value, FRecordBuffer.data() + FFieldOffsets[index]);
    if (fit == ffTooLong) RaiseSizeError(FieldNo);
    if (fit == ffNotValid) RaiseDataError(FieldNo);
    FModified = true;
}

bool TDbfRecordLayout::Encode(std::int32_t FieldNo, std::string_view Value, char* record) const {
    if (FieldNo < 1 || static_cast<std::size_t>(FieldNo) > Fields.size()) return false;
    const auto index = static_cast<std::size_t>(FieldNo - 1);
    return EncodeField(Fields[index], Value, record + Offsets[index]) == ffFits;
}

bool TDbfRecordLayout::SameKind(std::int32_t FieldNo, const TDbfRecordLayout& other,
                                std::int32_t otherNo) const {
    const TDbfFieldDesc& a = Fields.at(static_cast<std::size_t>(FieldNo - 1));
    const TDbfFieldDesc& b = other.Fields.at(static_cast<std::size_t>(otherNo - 1));
    return a.Type == b.Type && a.Length == b.Length && a.Decimals == b.Decimals;
}
