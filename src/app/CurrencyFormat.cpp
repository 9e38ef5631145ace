#include "app/CurrencyFormat.h"

#include <QLocale>
#include <cmath>

namespace {

// Splits a locale's money text of 1 or -1 into what stands before and after the number, and
// counts the decimals the locale writes after its own separator.
void SplitMoneyText(const QString& text, const QLocale& locale, QString& before, QString& after,
                    int& decimals) {
    const qsizetype one = text.indexOf(u'1');
    if (one < 0) return;
    before = text.left(one);
    qsizetype end = one + 1;
    decimals = 0;
    const QString point = locale.decimalPoint();
    if (text.mid(end, point.size()) == point) {
        end += point.size();
        while (end < text.size() && text[end] == u'0') {
            ++decimals;
            ++end;
        }
    }
    after = text.mid(end);
}

}  // namespace

TCurrencyFormat TCurrencyFormat::FromLocale(const QLocale& locale) {
    TCurrencyFormat format;
    int decimals = 2;
    SplitMoneyText(locale.toCurrencyString(1.0), locale, format.Prefix, format.Suffix, decimals);
    format.Decimals = decimals;
    QString before;
    QString after;
    int ignored = 0;
    SplitMoneyText(locale.toCurrencyString(-1.0), locale, before, after, ignored);
    // Locales mark a negative amount with a sign (their own minus, which need not be "-") or with
    // brackets around the whole text; a form with neither gets a "-" in front.
    const QString minus = locale.negativeSign();
    const auto marked = [&](const QString& part) {
        return part.contains(minus) || part.contains(u'-') || part.contains(u'(') ||
               part.contains(u')');
    };
    format.NegativePrefix = marked(before) || marked(after) ? before : QStringLiteral("-") + before;
    format.NegativeSuffix = after;
    return format;
}

QString TCurrencyFormat::Format(double value) const {
    const QString digits = QString::number(std::fabs(value), 'f', Decimals);
    // A value that rounds to zero shows without a sign.
    if (value < 0 && digits != QString::number(0.0, 'f', Decimals)) {
        return NegativePrefix + digits + NegativeSuffix;
    }
    return Prefix + digits + Suffix;
}

QString TCurrencyFormat::EditText(double value) const {
    return QString::number(value, 'f', Decimals);
}
