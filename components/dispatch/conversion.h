#pragma once
// Numeric conversions with the platform's rules: a floating-point value goes
// to an integer type by rounding to nearest, halves to even; a result outside
// the type's range is an Overflow run-time error.

#include <cstdint>

namespace vizmo::dispatch {

double roundHalfEven(double value);
std::int16_t toInt16(double value);  // throws RuntimeError (Overflow)
std::int32_t toInt32(double value);  // throws RuntimeError (Overflow)

}  // namespace vizmo::dispatch
