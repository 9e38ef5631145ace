#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

#ifdef _WIN32
// The system's converters, an independent source of truth for code page 866: characters that
// have no place in the target code page (best fits included) count as refused.
class TSystemConverter {
  public:
    TSystemConverter(const char* to, const char* from) : To(CodePage(to)), From(CodePage(from)) {}

    bool IsOpen() const { return ::IsValidCodePage(To) && ::IsValidCodePage(From); }

    // The whole input converted, or nullopt when the system refuses any of it.
    std::optional<std::string> Convert(const std::string& input) {
        const int inLength = static_cast<int>(input.size());
        wchar_t wide[64];
        const int wideLength =
            ::MultiByteToWideChar(From, MB_ERR_INVALID_CHARS, input.data(), inLength, wide, 64);
        if (wideLength == 0 && inLength > 0) return std::nullopt;
        char out[64];
        BOOL usedDefault = FALSE;
        const bool toUtf8 = To == CP_UTF8;
        const int outLength = ::WideCharToMultiByte(
            To, toUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, wide, wideLength, out,
            sizeof out, nullptr, toUtf8 ? nullptr : &usedDefault);
        if ((outLength == 0 && wideLength > 0) || usedDefault) return std::nullopt;
        return std::string(out, static_cast<std::size_t>(outLength));
    }

  private:
    static UINT CodePage(const std::string& name) { return name == "UTF-8" ? CP_UTF8 : 866; }

    UINT To;
    UINT From;
};
#else
// The system's converter, an independent source of truth for code page 866.
class TSystemConverter {
  public:
    TSystemConverter(const char* to, const char* from) : Handle(iconv_open(to, from)) {}
    ~TSystemConverter() {
        if (Handle != reinterpret_cast<iconv_t>(-1)) iconv_close(Handle);
    }
    TSystemConverter(const TSystemConverter&) = delete;
    TSystemConverter& operator=(const TSystemConverter&) = delete;

    bool IsOpen() const { return Handle != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nullopt when iconv refuses any of it.
    std::optional<std::string> Convert(const std::string& input) {
        iconv(Handle, nullptr, nullptr, nullptr, nullptr);
        std::string in = input;
        char out[64];
        char* inPtr = in.data();
        std::size_t inLeft = in.size();
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(Handle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        return std::string(out, static_cast<std::size_t>(outPtr - out));
    }

  private:
    iconv_t Handle;
};
#endif

std::string Utf8(char32_t ch) {
    std::string s;
    if (ch < 0x80) {
        s += static_cast<char>(ch);
    } else if (ch < 0x800) {
        s += static_cast<char>(0xC0 | (ch >> 6));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        s += static_cast<char>(0xE0 | (ch >> 12));
        s += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (ch >> 18));
        s += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    }
    return s;
}

std::string AllBytes() {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    return all;
}

TEST(CodePage, EveryByteMatchesTheSystemConverterBothWays) {
    TSystemConverter toUtf8("UTF-8", "CP866");
    TSystemConverter toOem("CP866", "UTF-8");
    ASSERT_TRUE(toUtf8.IsOpen());
    ASSERT_TRUE(toOem.IsOpen());
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        std::string oem(1, static_cast<char>(b));
        std::optional<std::string> want = toUtf8.Convert(oem);
        ASSERT_TRUE(want.has_value());
        EXPECT_EQ(OemToAnsiText(oem), *want);
        EXPECT_EQ(toOem.Convert(*want), oem);
        EXPECT_EQ(AnsiToOemText(*want), oem);
    }
}

// The characters code page 866 lacks that become a plain one instead of "?".
const std::map<char32_t, char> kPlainForms = {
    {U'«', '"'}, {U'»', '"'},  {U'“', '"'},   {U'”', '"'},   {U'„', '"'},   {U'‟', '"'},
    {U'″', '"'}, {U'‘', '\''}, {U'’', '\''},  {U'‚', '\''},  {U'‛', '\''},  {U'′', '\''},
    {U'‐', '-'}, {U'‑', '-'},  {U'‒', '-'},   {U'–', '-'},   {U'—', '-'},   {U'―', '-'},
    {U'−', '-'}, {U'…', '.'},  {0x2002, ' '}, {0x2003, ' '}, {0x2009, ' '}, {0x202F, ' '}};

TEST(CodePage, RepresentableCharactersAreExactlyThoseTheSystemConverts) {
    TSystemConverter toOem("CP866", "UTF-8");
    ASSERT_TRUE(toOem.IsOpen());
    int representable = 0;
    int plain = 0;
    for (char32_t ch = 0; ch < 0x10000; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF) continue;
        SCOPED_TRACE(static_cast<unsigned>(ch));
        std::optional<std::string> want = toOem.Convert(Utf8(ch));
        ASSERT_EQ(IsOemRepresentable(ch), want.has_value());
        if (want) {
            ++representable;
            ASSERT_EQ(AnsiToOemText(Utf8(ch)), *want);
            ASSERT_EQ(FirstNonOemCharacter(Utf8(ch)), std::nullopt);
        } else {
            // Those the code page lacks: their plain form where they have one, else "?".
            const auto it = kPlainForms.find(ch);
            plain += it != kPlainForms.end();
            const char substitute = it != kPlainForms.end() ? it->second : kOemSubstitute;
            ASSERT_EQ(AnsiToOemText(Utf8(ch)), std::string(1, substitute));
            ASSERT_EQ(OemPlainForm(ch), substitute);
            ASSERT_EQ(FirstNonOemCharacter("a" + Utf8(ch) + "b"), ch);
        }
    }
    EXPECT_EQ(representable, 256);
    EXPECT_EQ(plain, static_cast<int>(kPlainForms.size()));
    EXPECT_FALSE(IsOemRepresentable(0x1F600));
    EXPECT_FALSE(IsOemRepresentable(0x110000));
}

TEST(CodePage, AllBytesSurviveTheRoundTrip) {
    std::string all = AllBytes();
    std::string utf8 = OemToAnsiText(all);
    EXPECT_EQ(Utf8Length(utf8), 256u);
    EXPECT_EQ(AnsiToOemText(utf8), all);
}

TEST(CodePage, CyrillicAndBoxDrawingConvertCharacterForCharacter) {
    EXPECT_EQ(OemToAnsiText("\x8F\xE0\xA8\xA2\xA5\xE2"), "Привет");
    EXPECT_EQ(AnsiToOemText("Ёлка №5 ║═╬"),
              "\xF0\xAB\xAA\xA0 \xFC"
              "5 \xBA\xCD\xCE");
    EXPECT_EQ(OemToAnsiText(""), "");
    EXPECT_EQ(AnsiToOemText(""), "");
}

struct TSubstituteCase {
    const char* Name;
    std::string Utf8;
    std::string Oem;
};

class CharactersOutsideTheCodePage : public testing::TestWithParam<TSubstituteCase> {};

TEST_P(CharactersOutsideTheCodePage, BecomeOneSubstituteEach) {
    const TSubstituteCase& c = GetParam();
    EXPECT_EQ(AnsiToOemText(c.Utf8), c.Oem);
    EXPECT_EQ(Utf8Length(c.Utf8), c.Oem.size());
}

INSTANTIATE_TEST_SUITE_P(
    CodePage, CharactersOutsideTheCodePage,
    testing::Values(TSubstituteCase{"Euro", "a€b", "a?b"},
                    TSubstituteCase{"LatinAccent", "café", "caf?"},
                    TSubstituteCase{"FourByteEmoji", "x😀y", "x?y"},
                    TSubstituteCase{"UkrainianGheUpturn", "Ґ", "?"},
                    TSubstituteCase{"LoneContinuation",
                                    "a\x80"
                                    "b",
                                    "a?b"},
                    TSubstituteCase{"TruncatedAtEnd", "ab\xD0", "ab?"},
                    TSubstituteCase{"TruncatedThreeByte",
                                    "\xE2\x82"
                                    "A",
                                    "??A"},
                    TSubstituteCase{"OverlongSlash", "\xC0\xAF", "??"},
                    TSubstituteCase{"OverlongThreeByte", "\xE0\x80\xAF", "???"},
                    TSubstituteCase{"Surrogate", "\xED\xA0\x80", "???"},
                    TSubstituteCase{"BeyondUnicode", "\xF4\x90\x80\x80", "????"},
                    TSubstituteCase{"InvalidLeadF8", "\xF8", "?"},
                    TSubstituteCase{"CyrillicLeadBeforeAscii",
                                    "\xD0"
                                    "A",
                                    "?A"},
                    TSubstituteCase{"ValidAfterInvalid", "\xFF\xD0\x90", "?\x80"},
                    // Pasted from office programs: plain forms amid Cyrillic, the length kept.
                    TSubstituteCase{"PlainFormsAmidCyrillic", "Сок «Д’Ор» – 1л…",
                                    "\x91\xAE\xAA \"\x84'\x8E\xE0\" - 1\xAB."},
                    TSubstituteCase{"ThinAndNarrowSpaces", "1\u2009000\u202F000", "1 000 000"},
                    TSubstituteCase{"NoBreakSpaceIsTheCodePagesOwn", "0,5\u00A0л", "0,5\xFF\xAB"},
                    TSubstituteCase{"SoftHyphenHasNoPlainForm", "a\u00ADb", "a?b"}),
    [](const testing::TestParamInfo<TSubstituteCase>& param) { return param.param.Name; });

TEST(CodePage, FirstCharacterTheCodePageLacksIsTheFirstTheConversionChanges) {
    EXPECT_EQ(FirstNonOemCharacter("Ёлка №5 ║ 0,5\u00A0л"), std::nullopt);
    EXPECT_EQ(FirstNonOemCharacter("Вода “Родник” – 1л"), U'“');
    EXPECT_EQ(FirstNonOemCharacter("Сыр\xFF"), kMalformedCharacter);
    EXPECT_EQ(FirstNonOemCharacter("ab\xD0"), kMalformedCharacter);
}

TEST(CodePage, Utf8LeftCutsWholeCharacters) {
    std::string name = "Молоко ЖИРН.";  // 12 characters, 22 bytes
    EXPECT_EQ(Utf8Left(name, 6), "Молоко");
    EXPECT_EQ(Utf8Left(name, 0), "");
    EXPECT_EQ(Utf8Left(name, 12), name);
    EXPECT_EQ(Utf8Left(name, 50), name);
    EXPECT_EQ(Utf8Left("a\xFF"
                       "b",
                       2),
              "a\xFF");
    EXPECT_EQ(Utf8Left("a😀b", 2), "a😀");
}

}  // namespace
