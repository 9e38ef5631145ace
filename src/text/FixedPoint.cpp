#include "text/FixedPoint.h"

#include <cmath>

std::int64_t FloatToAmount(double value) {
    double scaled = value * 10000.0;
    if (std::isnan(scaled)) throw EInvalidOp();
    // Ties to even without depending on the current rounding mode.
    double whole = std::trunc(scaled);
    double rest = std::fabs(scaled - whole);  // exact: both lie in the same binade or below
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += scaled < 0 ? -1.0 : 1.0;
    // 2^63 is exact in a double; anything from it up (and infinities) does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(whole >= -kLimit && whole < kLimit)) throw EInvalidOp();
    return static_cast<std::int64_t>(whole);
}

double AmountToFloat(std::int64_t amount) {
    return static_cast<double>(amount) / 10000.0;
}
