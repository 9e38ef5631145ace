#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between code page 866 (the DOS Cyrillic files at the edges) and UTF-8 (all text
// inside the program). Both keep the character count: one code page 866 byte is one character.

// Code page 866 bytes -> UTF-8. Every byte maps to its own character, box drawing included, so
// AnsiToOemText(OemToAnsiText(x)) == x for every x. The empty text gives the empty text.
std::string OemToAnsiText(std::string_view oem);
// The same conversion into `out` (replacing its contents; `oem` must not lie in it): no
// allocation once `out` has room.
void OemToAnsiText(std::string_view oem, std::string& out);

// UTF-8 -> code page 866 bytes. A character that code page 866 lacks becomes its OemPlainForm
// (typographic quotes a plain quote, dashes "-", ...) and every byte of a malformed UTF-8 sequence
// one kOemSubstitute byte, so the character count is kept.
std::string AnsiToOemText(std::string_view text);
// The same conversion into `out` (replacing its contents; `text` must not lie in it): no
// allocation once `out` has room.
void AnsiToOemText(std::string_view text, std::string& out);

// The byte that stands in for a character code page 866 cannot hold and has no plain form for.
inline constexpr char kOemSubstitute = '?';

// Whether code page 866 has a byte for this Unicode character.
bool IsOemRepresentable(char32_t ch);

// The byte AnsiToOemText writes for this Unicode character: its own where code page 866 has one,
// else its plain form ('"' for "«", "-" for "–", ...) or kOemSubstitute.
char OemPlainForm(char32_t ch);

// What FirstNonOemCharacter reports for a byte that starts no well-formed UTF-8 sequence.
inline constexpr char32_t kMalformedCharacter = 0xFFFD;

// The first character of a UTF-8 text that code page 866 lacks (kMalformedCharacter for a
// malformed byte): the first that AnsiToOemText changes. nullopt when it keeps every character.
std::optional<char32_t> FirstNonOemCharacter(std::string_view text);

// Number of Unicode characters in a UTF-8 text (a malformed byte counts as one character).
std::size_t Utf8Length(std::string_view text);

// The first `count` characters of a UTF-8 text (all of it when it is shorter).
std::string_view Utf8Left(std::string_view text, std::size_t count);
