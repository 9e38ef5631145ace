#pragma once

#include <optional>
#include <string_view>

// Whether the text is not empty and holds only the digits 0-9.
bool IsAllDigits(std::string_view text);

// The EAN/UPC check digit ('0'..'9') for the digits before it: weights 3, 1, 3, ... from the
// right-most digit leftwards, the digit that brings the sum to a multiple of 10. nullopt when the
// text is empty or not all digits.
std::optional<char> EanCheckDigit(std::string_view digits);

// Whether a barcode of 8 (EAN-8), 12 (UPC-A) or 13 (EAN-13) digits ends with the right check
// digit. nullopt for any other length or a text that is not all digits: no check digit to test.
std::optional<bool> HasValidCheckDigit(std::string_view barcode);
