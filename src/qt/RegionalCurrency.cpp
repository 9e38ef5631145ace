#include "qt/RegionalCurrency.h"

#include <QLocale>

TRegionalCurrency RegionalCurrency(const QLocale& locale) {
    TRegionalCurrency regional;
    regional.PositiveText = locale.toCurrencyString(1.0).toStdString();
    regional.NegativeText = locale.toCurrencyString(-1.0).toStdString();
    regional.DecimalPoint = locale.decimalPoint().toStdString();
    regional.MinusSign = locale.negativeSign().toStdString();
    return regional;
}
