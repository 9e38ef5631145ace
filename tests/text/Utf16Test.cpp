#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iomanip>
#include <sstream>
#include <string>

namespace {

// Text as code units, "0414 0444", so a failure shows which unit differs.
std::string Units(const std::u16string& text) {
    std::ostringstream out;
    for (char16_t unit : text)
        out << (out.tellp() > 0 ? " " : "") << std::hex << std::uppercase << std::setw(4)
            << std::setfill('0') << static_cast<unsigned>(unit);
    return out.str();
}

std::string Bytes(const std::string& text) {
    std::ostringstream out;
    for (char byte : text)
        out << (out.tellp() > 0 ? " " : "") << std::hex << std::uppercase << std::setw(2)
            << std::setfill('0') << static_cast<unsigned>(static_cast<unsigned char>(byte));
    return out.str();
}

struct TUtfCase {
    std::string Rule;
    std::string Utf8;
    std::u16string Utf16;
};

template <typename TParam>
std::string RuleName(const testing::TestParamInfo<TParam>& param) {
    std::string name;
    for (char c : param.param.Rule) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

// Well-formed text converts the same both ways.
class Utf16BothWays : public testing::TestWithParam<TUtfCase> {};

TEST_P(Utf16BothWays, SameTextInEachForm) {
    EXPECT_EQ(Units(Utf8ToUtf16(GetParam().Utf8)), Units(GetParam().Utf16));
    EXPECT_EQ(Bytes(Utf16ToUtf8(GetParam().Utf16)), Bytes(GetParam().Utf8));
}

#ifdef _WIN32
TEST_P(Utf16BothWays, SameTextForTheWideCalls) {
    const std::wstring wide = Wide(GetParam().Utf8);
    EXPECT_EQ(Units(std::u16string(wide.begin(), wide.end())), Units(GetParam().Utf16));
    EXPECT_EQ(Bytes(Narrow(std::wstring(GetParam().Utf16.begin(), GetParam().Utf16.end()))),
              Bytes(GetParam().Utf8));
}
#endif

INSTANTIATE_TEST_SUITE_P(
    WellFormed, Utf16BothWays,
    testing::Values(
        TUtfCase{"empty", "", u""}, TUtfCase{"ascii as it is", "ARTICLE.TXT", u"ARTICLE.TXT"},
        TUtfCase{"a nul is a character", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        TUtfCase{"cyrillic path", "/tmp/Отчёты/Справочник.dbf", u"/tmp/Отчёты/Справочник.dbf"},
        TUtfCase{"U 007F is the last single byte", "\x7F", u"\x7F"},
        TUtfCase{"U 0080 takes two bytes", "\xC2\x80", u"\x80"},
        TUtfCase{"U 07FF is the last of two bytes", "\xDF\xBF", u"\x7FF"},
        TUtfCase{"U 0800 takes three bytes", "\xE0\xA0\x80", u"\x800"},
        TUtfCase{"U D7FF just before the surrogates", "\xED\x9F\xBF", u"\xD7FF"},
        TUtfCase{"U E000 just after the surrogates", "\xEE\x80\x80", u"\xE000"},
        TUtfCase{"U FFFF is the last of three bytes", "\xEF\xBF\xBF", u"\xFFFF"},
        TUtfCase{"U 10000 takes four bytes and a surrogate pair", "\xF0\x90\x80\x80",
                 u"\xD800\xDC00"},
        TUtfCase{"U 10FFFF is the last character", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        TUtfCase{"a pair between letters", "Чай \xF0\x9F\x98\x80!", u"Чай \xD83D\xDE00!"}),
    RuleName<TUtfCase>);

// Ill-formed UTF-8: each piece becomes one U+FFFD, the text around it stays.
class Utf8IllFormed : public testing::TestWithParam<TUtfCase> {};

TEST_P(Utf8IllFormed, EachPieceBecomesOneReplacement) {
    EXPECT_EQ(Units(Utf8ToUtf16(GetParam().Utf8)), Units(GetParam().Utf16));
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, Utf8IllFormed,
    testing::Values(
        TUtfCase{"a stray continuation byte", "a\x80z", u"a\xFFFDz"},
        TUtfCase{"two stray continuation bytes are two pieces", "\x80\xBF", u"\xFFFD\xFFFD"},
        TUtfCase{"C0 never leads", "\xC0\x80", u"\xFFFD\xFFFD"},
        TUtfCase{"C1 never leads", "\xC1\xBF", u"\xFFFD\xFFFD"},
        TUtfCase{"overlong three bytes", "\xE0\x9F\xBF", u"\xFFFD\xFFFD\xFFFD"},
        TUtfCase{"overlong four bytes", "\xF0\x8F\xBF\xBF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        TUtfCase{"an encoded high surrogate", "\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},
        TUtfCase{"an encoded low surrogate", "\xED\xBF\xBF", u"\xFFFD\xFFFD\xFFFD"},
        TUtfCase{"U 110000 is too big", "\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        TUtfCase{"F5 never leads", "\xF5\x80", u"\xFFFD\xFFFD"},
        TUtfCase{"FF never occurs", "a\xFF", u"a\xFFFD"},
        TUtfCase{"a sequence cut by the end", "Д\xD0", u"Д\xFFFD"},
        TUtfCase{"a cut three byte sequence is one piece", "\xE2\x82x", u"\xFFFDx"},
        TUtfCase{"a cut four byte sequence is one piece", "\xF0\x9F\x98Д", u"\xFFFDД"},
        TUtfCase{"a lead byte cuts the sequence before it", "\xD0\xD0\x94", u"\xFFFDД"}),
    RuleName<TUtfCase>);

// Unpaired surrogates in UTF-16: each becomes U+FFFD (EF BF BD).
class Utf16Unpaired : public testing::TestWithParam<TUtfCase> {};

TEST_P(Utf16Unpaired, EachBecomesOneReplacement) {
    EXPECT_EQ(Bytes(Utf16ToUtf8(GetParam().Utf16)), Bytes(GetParam().Utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Surrogates, Utf16Unpaired,
    testing::Values(TUtfCase{"a lone high surrogate", "a\xEF\xBF\xBDz", u"a\xD800z"},
                    TUtfCase{"a high surrogate at the end", "a\xEF\xBF\xBD", u"a\xDBFF"},
                    TUtfCase{"a lone low surrogate", "\xEF\xBF\xBD", u"\xDC00"},
                    TUtfCase{"a reversed pair is two", "\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDC00\xD800"},
                    TUtfCase{"of two highs the second pairs", "\xEF\xBF\xBD\xF0\x90\x80\x80",
                             u"\xD800\xD800\xDC00"}),
    RuleName<TUtfCase>);

TEST(Utf16, EveryCharacterTakesItsLengthAndComesBack) {
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        std::u16string utf16;
        if (code < 0x10000) {
            utf16 += static_cast<char16_t>(code);
        } else {
            utf16 += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        const std::string utf8 = Utf16ToUtf8(utf16);
        const std::size_t length = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        ASSERT_EQ(utf8.size(), length) << std::hex << static_cast<unsigned>(code);
        ASSERT_EQ(Utf8ToUtf16(utf8), utf16) << std::hex << static_cast<unsigned>(code);
    }
}

// Whatever decodes without a replacement was the one shortest form of its characters: no
// overlong form, encoded surrogate or value past U+10FFFF slips through as a character.
TEST(Utf16, OnlyShortestFormsDecodeToCharacters) {
    auto check = [](const std::string& utf8) {
        const std::u16string utf16 = Utf8ToUtf16(utf8);
        if (utf16.find(u'\xFFFD') == std::u16string::npos) {
            ASSERT_EQ(Bytes(Utf16ToUtf8(utf16)), Bytes(utf8));
        }
    };
    for (unsigned first = 0; first < 0x100; ++first) {
        for (unsigned second = 0; second < 0x100; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            check(two);
            if (first >= 0xE0 && first <= 0xEF)
                for (unsigned third = 0; third < 0x100; ++third)
                    check(two + static_cast<char>(third));
            // Four bytes: the third and fourth at the edges of the continuation range will do.
            if (first >= 0xF0)
                for (char third : {'\x7F', '\x80', '\xBF', '\xC0'}) check(two + third + '\x80');
            if (HasFailure()) return;
        }
    }
}

}  // namespace
