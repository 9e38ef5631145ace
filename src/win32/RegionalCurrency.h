#pragma once

#include "app/CurrencyFormat.h"

// How Windows' regional settings of the operator write money, read once at start-up for the grid's
// prices (GetCurrencyFormatEx and GetLocaleInfoEx with LOCALE_NAME_USER_DEFAULT).
TRegionalCurrency ReadRegionalCurrency();

// The same for a named locale ("ru-RU", "en-US"); empty texts for a locale Windows does not know.
TRegionalCurrency RegionalCurrencyOf(const wchar_t* localeName);
