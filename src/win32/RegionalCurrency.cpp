#include "win32/RegionalCurrency.h"

#include <windows.h>

#include <string>

#include "text/Utf16.h"

namespace {

// The locale's money text of `amount` ("1", "-1"), with its own sign, separator and decimals.
std::string MoneyText(const wchar_t* localeName, const wchar_t* amount) {
    wchar_t buffer[128];
    if (GetCurrencyFormatEx(localeName, 0, amount, nullptr, buffer, 128) == 0) return {};
    return Narrow(buffer);
}

std::string LocaleText(const wchar_t* localeName, LCTYPE type) {
    wchar_t buffer[32];
    if (GetLocaleInfoEx(localeName, type, buffer, 32) == 0) return {};
    return Narrow(buffer);
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
