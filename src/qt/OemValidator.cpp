#include "qt/OemValidator.h"

#include "text/CodePage.h"

TOemValidator::TOemValidator(QObject* parent) : QValidator(parent) {}

QValidator::State TOemValidator::validate(QString& input, int& /*pos*/) const {
    for (char32_t ch : input.toUcs4()) {
        if (!IsOemRepresentable(ch)) return Invalid;
    }
    return Acceptable;
}
