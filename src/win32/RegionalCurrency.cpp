#include "win32/RegionalCurrency.h"

#include <windows.h>

#include <string>

#include "text/Utf16.h"

namespace {

std::string Utf8Of(const wchar_t* text) {
    const std::wstring wide(text);
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// The locale's money text of `amount` ("1", "-1"), with its own sign, separator and decimals.
std::string MoneyText(const wchar_t* localeName, const wchar_t* amount) {
    wchar_t buffer[128];
    if (GetCurrencyFormatEx(localeName, 0, amount, nullptr, buffer, 128) == 0) return {};
    return Utf8Of(buffer);
}

std::string LocaleText(const wchar_t* localeName, LCTYPE type) {
    wchar_t buffer[32];
    if (GetLocaleInfoEx(localeName, type, buffer, 32) == 0) return {};
    return Utf8Of(buffer);
}

}  // namespace

TRegionalCurrency RegionalCurrencyOf(const wchar_t* localeName) {
    TRegionalCurrency regional;
    regional.PositiveText = MoneyText(localeName, L"1");
    regional.NegativeText = MoneyText(localeName, L"-1");
    // Money has a separator of its own, which need not be the number separator.
    regional.DecimalPoint = LocaleText(localeName, LOCALE_SMONDECIMALSEP);
    regional.MinusSign = LocaleText(localeName, LOCALE_SNEGATIVESIGN);
    return regional;
}

TRegionalCurrency ReadRegionalCurrency() {
    return RegionalCurrencyOf(LOCALE_NAME_USER_DEFAULT);
}
