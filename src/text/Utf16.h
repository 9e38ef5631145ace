#pragma once

#include <string>
#include <string_view>

// UTF-8 and UTF-16, for talking to Windows (its command line and console windows are UTF-16;
// everything inside the converter is UTF-8). Plain code rather than the Win32 converters, so the
// same conversion runs, and is tested, on every platform.

// `text` as UTF-16. Never fails: each ill-formed piece (a stray byte, a cut or overlong sequence,
// an encoded surrogate, a value above U+10FFFF) becomes one U+FFFD, the longest valid start of a
// sequence counting as one piece.
std::u16string Utf8ToUtf16(std::string_view text);

// `text` as UTF-8. Never fails: an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

#ifdef _WIN32
// The same conversions for the wide calls of Windows, whose wchar_t is a UTF-16 code unit.
inline std::wstring Wide(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}
#endif
