#include "base/MathUtil.h"

#include <cmath>
#include <limits>

namespace vec {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t num = static_cast<int64_t>(a) * b;
  int64_t den = c;
  bool negative = (num < 0) != (den < 0);
  uint64_t un = num < 0 ? static_cast<uint64_t>(-(num + 1)) + 1 : static_cast<uint64_t>(num);
  uint64_t ud = den < 0 ? static_cast<uint64_t>(-den) : static_cast<uint64_t>(den);
  uint64_t q = un / ud;
  uint64_t r = un % ud;
  if (r * 2 >= ud) ++q;  // halves away from zero
  if (q > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1u : 0u))
    return -1;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

int64_t RoundHalfEven64(double v) {
  double fl = std::floor(v);
  double diff = v - fl;
  int64_t r = static_cast<int64_t>(fl);
  if (diff > 0.5 || (diff == 0.5 && (r & 1) != 0)) ++r;
  return r;
}

int32_t RoundHalfEven(double v) {
  return static_cast<int32_t>(RoundHalfEven64(v));
}

int64_t DivRoundHalfEven(int64_t num, int64_t den) {
  int64_t q = num / den, r = num % den;
  if (r < 0) {  // floor division
    q -= 1;
    r += den;
  }
  const int64_t twice = 2 * r;
  if (twice > den || (twice == den && (q & 1) != 0)) ++q;
  return q;
}

}  // namespace vec
