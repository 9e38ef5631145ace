#pragma once

#include <cstdint>
#include <stdexcept>

// Raised when a number does not fit the fixed-point range (the runtime's floating-point error).
class EInvalidOp : public std::runtime_error {
  public:
    EInvalidOp() : std::runtime_error(kMessage) {}
    static constexpr const char* kMessage = "Invalid floating point operation";
};

// value x 10000 rounded to nearest, ties to even, as a signed 64-bit count of 1/10000.
// Throws EInvalidOp when the result does not fit (or the value is not a number).
std::int64_t FloatToAmount(double value);

// amount / 10000 as a double.
double AmountToFloat(std::int64_t amount);
