#pragma once

#include <QString>

class QLocale;

// How the grid shows a price: the currency sign, its place and the number of currency decimals
// of the regional settings, read once at start-up, always with "." as the decimal separator and
// no thousands separator.
struct TCurrencyFormat {
    QString Prefix;  // text before the number ("$"), and the same for negative amounts
    QString Suffix;  // text after it (" ₽")
    QString NegativePrefix = QStringLiteral("-");
    QString NegativeSuffix;
    int Decimals = 2;

    // The format of a locale, taken from how it writes 1 and -1 as money.
    static TCurrencyFormat FromLocale(const QLocale& locale);

    // The shown text of an amount: "$12.50", "12.50 ₽", "($3.00)".
    QString Format(double value) const;
    // The text a price cell is edited in: fixed notation with the currency decimals ("12.50").
    QString EditText(double value) const;
};
