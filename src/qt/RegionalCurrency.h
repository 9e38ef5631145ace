#pragma once

#include "app/CurrencyFormat.h"

class QLocale;

// The money texts of a locale as the price format reads them (1 and -1 as money, the locale's
// decimal separator and minus sign).
TRegionalCurrency RegionalCurrency(const QLocale& locale);
