#pragma once

#include <string>

// What a front end reads from its system's regional settings for the grid's prices: how the
// system writes the amounts 1 and -1 as money, with its own decimal separator and minus sign
// (Qt: QLocale::toCurrencyString; Windows: GetCurrencyFormatEx). UTF-8.
struct TRegionalCurrency {
    std::string PositiveText;  // "$1.00", "1,00 ₽"
    std::string NegativeText;  // "($1.00)", "-1,00 ₽"
    std::string DecimalPoint;  // the separator those texts use: ".", ","
    std::string MinusSign;     // the system's minus: "-", or "−" (U+2212)
};

// How the grid shows a price: the currency sign, its place and the number of currency decimals
// of the regional settings, read once at start-up, always with "." as the decimal separator and
// no thousands separator.
struct TCurrencyFormat {
    std::string Prefix;  // text before the number ("$"), and the same for negative amounts
    std::string Suffix;  // text after it (" ₽")
    std::string NegativePrefix = "-";
    std::string NegativeSuffix;
    int Decimals = 2;

    // The format of regional settings: the sign and its place as they write 1 and -1, the
    // decimals as they write 1. A negative form with no minus sign and no brackets gets a "-" in
    // front.
    static TCurrencyFormat FromRegional(const TRegionalCurrency& regional);

    // The shown text of an amount: "$12.50", "12.50 ₽", "($3.00)"; an amount that rounds to zero
    // shows without its negative form.
    std::string Format(double value) const;
    // The text a price cell is edited in: fixed notation with the currency decimals ("12.50").
    std::string EditText(double value) const;
};

// `value` in fixed notation with `decimals` digits after a ".", rounded to nearest and an exact
// half away from zero ("0.13" for 0.125, "3" for 2.5), the same on every system; -0 gives "0".
std::string FixedText(double value, int decimals);
