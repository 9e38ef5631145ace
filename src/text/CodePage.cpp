#include "text/CodePage.h"

#include <array>
#include <cstdint>

namespace {

// Unicode characters of the code page 866 bytes 0x80..0xFF (the lower half is ASCII).
constexpr std::array<char16_t, 128> kUpperHalf = {
    // 0x80..0xAF: А..Я, а..п
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    // 0xB0..0xDF: shades, box drawing and blocks
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0..0xEF: р..я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F,
    // 0xF0..0xFF: Ё ё Є є Ї ї Ў ў ° ∙ · √ № ¤ ■ and the no-break space
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x2116, 0x00A4, 0x25A0, 0x00A0};

// Every byte's UTF-8 sequence, prebuilt: the forward conversion is one table copy per byte.
struct TUtf8Sequence {
    char Bytes[3];
    std::uint8_t Length;
};

constexpr TUtf8Sequence EncodeSequence(char32_t ch) {
    TUtf8Sequence s{};
    if (ch < 0x80) {
        s.Bytes[0] = static_cast<char>(ch);
        s.Length = 1;
    } else if (ch < 0x800) {
        s.Bytes[0] = static_cast<char>(0xC0 | (ch >> 6));
        s.Bytes[1] = static_cast<char>(0x80 | (ch & 0x3F));
        s.Length = 2;
    } else {
        s.Bytes[0] = static_cast<char>(0xE0 | (ch >> 12));
        s.Bytes[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s.Bytes[2] = static_cast<char>(0x80 | (ch & 0x3F));
        s.Length = 3;
    }
    return s;
}

constexpr std::array<TUtf8Sequence, 256> BuildForward() {
    std::array<TUtf8Sequence, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = EncodeSequence(b < 0x80 ? char32_t(b) : char32_t(kUpperHalf[b - 0x80]));
    return table;
}

constexpr std::array<TUtf8Sequence, 256> kForward = BuildForward();

// Characters code page 866 lacks that text pasted from office programs carries, and the plain
// character each becomes (one for one, so the character count is kept). The rest become "?".
struct TPlainForm {
    char32_t Character;
    char Plain;
};

constexpr TPlainForm kPlainForms[] = {
    {0x00AB, '"'},   // « left guillemet
    {0x00BB, '"'},   // » right guillemet
    {0x2002, ' '},   // en space
    {0x2003, ' '},   // em space
    {0x2009, ' '},   // thin space
    {0x202F, ' '},   // narrow no-break space
    {0x2010, '-'},   // hyphen
    {0x2011, '-'},   // non-breaking hyphen
    {0x2012, '-'},   // figure dash
    {0x2013, '-'},   // – en dash
    {0x2014, '-'},   // — em dash
    {0x2015, '-'},   // horizontal bar
    {0x2212, '-'},   // − minus sign
    {0x2018, '\''},  // ‘
    {0x2019, '\''},  // ’ (also the apostrophe of word processors)
    {0x201A, '\''},  // ‚ low single quote
    {0x201B, '\''},  // ‛
    {0x2032, '\''},  // ′ prime
    {0x201C, '"'},   // “
    {0x201D, '"'},   // ”
    {0x201E, '"'},   // „ low double quote
    {0x201F, '"'},   // ‟
    {0x2033, '"'},   // ″ double prime
    {0x2026, '.'},   // … ellipsis
};

// The reverse lookups cover two direct windows, U+0000..U+04FF and U+2000..U+25FF, which hold
// every character of the code page and every plain form's character. 0 marks "none" (U+0000 is
// handled apart).
constexpr char32_t kLowWindowEnd = 0x500;
constexpr char32_t kHighWindowStart = 0x2000;
constexpr char32_t kHighWindowEnd = 0x2600;

struct TReverseTables {
    std::array<std::uint8_t, kLowWindowEnd> Low{};
    std::array<std::uint8_t, kHighWindowEnd - kHighWindowStart> High{};

    constexpr std::uint8_t& At(char32_t ch) {
        return ch < kLowWindowEnd ? Low[ch] : High[ch - kHighWindowStart];
    }
    constexpr std::uint8_t Find(char32_t ch) const {
        if (ch < kLowWindowEnd) return Low[ch];
        if (ch >= kHighWindowStart && ch < kHighWindowEnd) return High[ch - kHighWindowStart];
        return 0;
    }
};

// The code page's own bytes; with `plain`, also the plain forms of the characters it lacks.
constexpr TReverseTables BuildReverse(bool plain) {
    TReverseTables t{};
    for (unsigned b = 1; b < 256; ++b) {
        char32_t ch = b < 0x80 ? char32_t(b) : char32_t(kUpperHalf[b - 0x80]);
        t.At(ch) = static_cast<std::uint8_t>(b);
    }
    if (plain) {
        for (const TPlainForm& f : kPlainForms)
            t.At(f.Character) = static_cast<std::uint8_t>(f.Plain);
    }
    return t;
}

// Exact: what the code page holds. Converting: what AnsiToOemText writes.
constexpr TReverseTables kReverse = BuildReverse(false);
constexpr TReverseTables kConvert = BuildReverse(true);

constexpr bool PlainFormsAreValid() {
    for (const TPlainForm& f : kPlainForms) {
        const bool inWindow = f.Character < kLowWindowEnd ||
                              (f.Character >= kHighWindowStart && f.Character < kHighWindowEnd);
        // Only characters the code page lacks, each once, and never to "?" or a non-ASCII byte.
        if (!inWindow || kReverse.Find(f.Character) != 0) return false;
        if (f.Plain < 0x20 || f.Plain >= 0x7F || f.Plain == kOemSubstitute) return false;
        int seen = 0;
        for (const TPlainForm& g : kPlainForms) seen += g.Character == f.Character;
        if (seen != 1) return false;
    }
    return true;
}
static_assert(PlainFormsAreValid());

// The code page 866 byte of a character, or -1.
int OemByte(char32_t ch) {
    if (ch == 0) return 0;
    std::uint8_t b = kReverse.Find(ch);
    return b == 0 ? -1 : b;
}

// The byte AnsiToOemText writes for a character other than U+0000.
char ConvertedByte(char32_t ch) {
    std::uint8_t b = kConvert.Find(ch);
    return b == 0 ? kOemSubstitute : static_cast<char>(b);
}

// Decodes one well-formed UTF-8 sequence at p (shortest form, no surrogates, at most U+10FFFF).
// Returns its length, or 0 when the byte at p does not start one.
std::size_t DecodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& ch) {
    unsigned b0 = p[0];
    if (b0 < 0x80) {
        ch = b0;
        return 1;
    }
    std::size_t length;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        ch = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        ch = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        ch = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        unsigned b = p[i];
        if ((b & 0xC0) != 0x80) return 0;
        ch = (ch << 6) | (b & 0x3F);
    }
    if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return 0;
    return length;
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

std::string OemToAnsiText(std::string_view oem) {
    std::string out;
    OemToAnsiText(oem, out);
    return out;
}

void OemToAnsiText(std::string_view oem, std::string& out) {
    // Written through a pointer into a buffer of the largest size, then cut: no per-byte
    // capacity checks (this runs for every name of a large article list).
    out.resize(oem.size() * 3);
    char* o = out.data();
    for (char c : oem) {
        const TUtf8Sequence& s = kForward[static_cast<unsigned char>(c)];
        o[0] = s.Bytes[0];
        o[1] = s.Bytes[1];
        o[2] = s.Bytes[2];
        o += s.Length;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

namespace {

// Converts into `o`, which has room for text.size() bytes; returns the end of what was written.
char* ConvertToOem(std::string_view text, char* o) {
    const unsigned char* p = Bytes(text);
    const unsigned char* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            *o++ = static_cast<char>(*p++);
            continue;
        }
        // Cyrillic letters are two-byte sequences below U+0500: one table look-up.
        if (*p >= 0xC2 && *p <= 0xD3 && p + 1 < end && (p[1] & 0xC0) == 0x80) {
            std::uint8_t b = kConvert.Low[((*p & 0x1Fu) << 6) | (p[1] & 0x3Fu)];
            *o++ = b == 0 ? kOemSubstitute : static_cast<char>(b);
            p += 2;
            continue;
        }
        char32_t ch;
        std::size_t length = DecodeUtf8(p, end, ch);
        if (length == 0) {
            // A malformed byte stands for one character of its own.
            *o++ = kOemSubstitute;
            ++p;
            continue;
        }
        *o++ = ConvertedByte(ch);
        p += length;
    }
    return o;
}

}  // namespace

std::string AnsiToOemText(std::string_view text) {
    std::string out(text.size(), '\0');  // never more bytes than the UTF-8 text has
    out.resize(static_cast<std::size_t>(ConvertToOem(text, out.data()) - out.data()));
    return out;
}

void AnsiToOemText(std::string_view text, std::string& out) {
    out.resize(text.size());
    out.resize(static_cast<std::size_t>(ConvertToOem(text, out.data()) - out.data()));
}

bool IsOemRepresentable(char32_t ch) {
    return OemByte(ch) >= 0;
}

char OemPlainForm(char32_t ch) {
    return ch == 0 ? '\0' : ConvertedByte(ch);
}

std::optional<char32_t> FirstNonOemCharacter(std::string_view text) {
    const unsigned char* p = Bytes(text);
    const unsigned char* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        // The checks run this over every name: Cyrillic letters take one look-up, as above.
        if (*p >= 0xC2 && *p <= 0xD3 && p + 1 < end && (p[1] & 0xC0) == 0x80) {
            const char32_t two = ((*p & 0x1Fu) << 6) | (p[1] & 0x3Fu);
            if (kReverse.Low[two] == 0) return two;
            p += 2;
            continue;
        }
        char32_t ch;
        std::size_t length = DecodeUtf8(p, end, ch);
        if (length == 0) return kMalformedCharacter;
        if (OemByte(ch) < 0) return ch;
        p += length;
    }
    return std::nullopt;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    const unsigned char* p = Bytes(text);
    const unsigned char* end = p + text.size();
    while (p < end) {
        char32_t ch;
        std::size_t length = DecodeUtf8(p, end, ch);
        p += length == 0 ? 1 : length;
        ++count;
    }
    return count;
}

std::string_view Utf8Left(std::string_view text, std::size_t count) {
    const unsigned char* begin = Bytes(text);
    const unsigned char* p = begin;
    const unsigned char* end = p + text.size();
    for (; count > 0 && p < end; --count) {
        char32_t ch;
        std::size_t length = DecodeUtf8(p, end, ch);
        p += length == 0 ? 1 : length;
    }
    return text.substr(0, static_cast<std::size_t>(p - begin));
}
