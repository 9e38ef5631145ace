#pragma once

// Character tests and case mapping of the ASCII range only: the bytes of code page 866 above 127
// are letters too, but no rule of the program looks at them.

// Whether c is one of the decimal digits "0" to "9".
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// c in upper case when it is one of the letters "a" to "z"; every other byte unchanged.
constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
