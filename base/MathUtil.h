#pragma once
// Integer helpers with the platform's exact rounding rules.

#include <cstdint>

namespace vec {

// a * b / c with a 64-bit intermediate, rounded to nearest, halves away from zero.
// As on the platform: c == 0 or a result outside 32 bits gives -1.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Round to nearest, halves to even (the default rounding of reals to integers).
int32_t RoundHalfEven(double v);
int64_t RoundHalfEven64(double v);

// num / den rounded to nearest, halves to even, without floating-point error; den > 0.
int64_t DivRoundHalfEven(int64_t num, int64_t den);

// Truncating division and remainder are C++'s own; these name the intent where
// a formula relies on it.
constexpr int32_t DivTrunc(int32_t a, int32_t b) {
  return a / b;
}

}  // namespace vec
