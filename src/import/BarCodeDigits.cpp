#include "import/BarCodeDigits.h"

bool IsAllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::optional<char> EanCheckDigit(std::string_view digits) {
    if (!IsAllDigits(digits)) return std::nullopt;
    int sum = 0;
    int weight = 3;
    for (std::size_t i = digits.size(); i-- > 0;) {
        sum += (digits[i] - '0') * weight;
        weight = 4 - weight;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::optional<bool> HasValidCheckDigit(std::string_view barcode) {
    if (barcode.size() != 8 && barcode.size() != 12 && barcode.size() != 13) return std::nullopt;
    std::optional<char> want = EanCheckDigit(barcode.substr(0, barcode.size() - 1));
    if (!want || barcode.back() < '0' || barcode.back() > '9') return std::nullopt;
    return *want == barcode.back();
}
