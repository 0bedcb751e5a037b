#include "transitions/BlendEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/Blit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vec {
namespace {

// The pixel effects index the blocks directly, so both bitmaps must really be W x H.
bool BlocksMatch(const Bitmap& work, const Bitmap& newBmp, int32_t W, int32_t H) {
  return W > 0 && H > 0 && work.Width() == W && work.Height() == H && newBmp.Width() == W &&
         newBmp.Height() == H;
}

uint8_t BlendByte(uint8_t d, uint8_t s, int32_t alpha) {
  const int32_t dd = d;
  return static_cast<uint8_t>((dd + ((alpha * (static_cast<int32_t>(s) - dd)) >> 8)) & 0xFF);
}

Pixel BlendPixel(Pixel d, Pixel s, int32_t alpha) {
  return MakePixel(BlendByte(PixelR(d), PixelR(s), alpha), BlendByte(PixelG(d), PixelG(s), alpha),
                   BlendByte(PixelB(d), PixelB(s), alpha), PixelA(d));
}

// A private copy of the process-wide generator's step (base/Random.h): the seeded effects
// run it locally from their fixed seed, which leaves the shared generator exactly where it
// stood, and lets "Random(100) < percent" become one comparison of the seed.
struct LocalGenerator {
  uint32_t seed;
  uint32_t Next() {
    seed = seed * 134775813u + 1u;
    return seed;
  }
};

// Random(100) = (100 * seed) >> 32 is below percent exactly when seed is below
// ceil(percent * 2^32 / 100).
uint64_t TakeThreshold(int32_t percent) {
  if (percent <= 0) return 0;
  if (percent >= 100) return uint64_t{1} << 32;
  return ((static_cast<uint64_t>(percent) << 32) + 99) / 100;
}

// The seed of Dissolve and the random bars: every frame of one size draws the same sequence.
uint32_t FixedSeed(int32_t W, int32_t H) {
  return static_cast<uint32_t>(W) + static_cast<uint32_t>(H);
}

}  // namespace

// --- Blending -----------------------------------------------------------------------------

namespace reference {
void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  alpha = std::clamp(alpha, 0, 256);
  for (size_t i = 0; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}
}  // namespace reference

void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  alpha = std::clamp(alpha, 0, 256);
  size_t i = 0;
#if defined(__SSE2__)
  // Four pixels per step as 16-bit lanes. alpha * (s - d) needs 17 bits, so the product's
  // halves are joined again after the shift; the fourth byte's weight is 0, which keeps it.
  const auto a = static_cast<int16_t>(alpha);
  const __m128i weight = _mm_set_epi16(0, a, a, a, 0, a, a, a);
  const __m128i zero = _mm_setzero_si128();
  auto blend_half = [&](__m128i d16, __m128i s16) {
    const __m128i diff = _mm_sub_epi16(s16, d16);
    const __m128i lo = _mm_mullo_epi16(diff, weight);
    const __m128i hi = _mm_mulhi_epi16(diff, weight);
    const __m128i shifted = _mm_or_si128(_mm_srli_epi16(lo, 8), _mm_slli_epi16(hi, 8));
    return _mm_add_epi16(d16, shifted);
  };
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i lo = blend_half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = blend_half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

void Fade(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  BlendPixels(work.Bits(), nb.Bits(), work.PixelCount(), MulDiv(256, percent, 100));
}

void Pixelate(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  // Up to 50 % the old picture zooms in; after it the new one zooms back out.
  const Bitmap* source = &work;
  int32_t ex = w, ey = h, factor = 180 - MulDiv(percent, 82, 50);
  if (percent > 50) {
    source = &nb;
    ex = W - w;
    ey = H - h;
    factor = MulDiv(percent - 100, 82, 50) + 180;
  }
  const int32_t xs = MulDiv(ex, factor, 100);
  const int32_t ys = MulDiv(ey, factor, 100);
  const int32_t sw = std::max(W - 2 * xs, 2);
  const int32_t sh = std::max(H - 2 * ys, 2);
  if (percent > 40 && percent < 60) {
    // Cross-fade of the part that will be enlarged. On tiny pictures the rectangle can
    // reach past the bitmap; only the part inside is blended.
    const int32_t alpha = MulDiv(256, 5 * percent - 200, 100);
    const int32_t left = std::clamp(xs, 0, W), right = std::clamp(xs + sw, 0, W);
    const int32_t top = std::clamp(ys, 0, H), bottom = std::clamp(ys + sh, 0, H);
    for (int32_t y = bottom - 1; y >= top && left < right; --y)
      BlendPixels(work.ScanLine(y) + left, nb.ScanLine(y) + left, right - left, alpha);
    source = &work;
  }
  // Copying Work 1:1 onto itself changes nothing (Percent 0).
  if (source == &work && xs == 0 && ys == 0 && sw == W && sh == H) return;
  StretchBlt(work, -2 * xs, -2 * ys, W + 4 * xs, H + 4 * ys, *source, xs, ys, sw, sh);
}

// --- Seeded selections --------------------------------------------------------------------

namespace reference {
void Dissolve(Bitmap& work, const Bitmap& nb, int32_t W, int32_t H, int32_t percent) {
  if (!BlocksMatch(work, nb, W, H)) return;
  SavedRandSeed saved;
  SetRandSeed(FixedSeed(W, H));
  for (size_t i = 0; i < work.PixelCount(); ++i)
    if (Random(100) < percent) work.Bits()[i] = nb.Bits()[i];
}
}  // namespace reference

void Dissolve(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  Pixel* d = work.Bits();
  const Pixel* s = nb.Bits();
  const size_t count = work.PixelCount();
  // Random(100) is always below 100 and never below 0.
  if (percent >= 100) {
    std::memcpy(d, s, count * sizeof(Pixel));
    return;
  }
  if (percent <= 0) return;
  const auto threshold = static_cast<uint32_t>(TakeThreshold(percent));
  // The draws for pixels i, i + 1, i + 2, i + 3 come from four interleaved copies of the
  // sequence, each stepping four draws at a time (seed * a^4 + (a^3 + a^2 + a + 1)), so
  // the multiplications do not wait on each other. The choice is a mask, not a branch:
  // at mid percents it is a coin toss.
  constexpr uint32_t a = 134775813u;
  constexpr uint32_t a4 = a * a * a * a, c4 = a * a * a + a * a + a + 1u;
  LocalGenerator gen{FixedSeed(W, H)};
  uint32_t s0 = gen.Next(), s1 = gen.Next(), s2 = gen.Next(), s3 = gen.Next();
  auto pick = [threshold](Pixel old, Pixel fresh, uint32_t seed) {
    const uint32_t take = 0u - static_cast<uint32_t>(seed < threshold);
    return (fresh & take) | (old & ~take);
  };
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    d[i] = pick(d[i], s[i], s0);
    d[i + 1] = pick(d[i + 1], s[i + 1], s1);
    d[i + 2] = pick(d[i + 2], s[i + 2], s2);
    d[i + 3] = pick(d[i + 3], s[i + 3], s3);
    s0 = s0 * a4 + c4;
    s1 = s1 * a4 + c4;
    s2 = s2 * a4 + c4;
    s3 = s3 * a4 + c4;
  }
  const uint32_t tail[3] = {s0, s1, s2};
  for (size_t k = 0; i < count; ++i, ++k) d[i] = pick(d[i], s[i], tail[k]);
}

void RandomBarsHorizontal(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  const uint64_t threshold = TakeThreshold(percent);
  LocalGenerator gen{FixedSeed(W, H)};
  // Block order: the bottom row draws first.
  for (int32_t row = 0; row < H; ++row) {
    if (gen.Next() < threshold) {
      const size_t at = static_cast<size_t>(row) * W;
      std::memcpy(work.Bits() + at, nb.Bits() + at, static_cast<size_t>(W) * sizeof(Pixel));
    }
  }
}

void RandomBarsVertical(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  const uint64_t threshold = TakeThreshold(percent);
  LocalGenerator gen{FixedSeed(W, H)};
  // One draw per column, left to right; the choices of a span of columns are kept on the
  // stack and applied to every row before the next span is drawn.
  constexpr int32_t kSpan = 4096;
  std::array<uint32_t, kSpan> take;  // all ones where the column is taken
  for (int32_t x0 = 0; x0 < W; x0 += kSpan) {
    const int32_t n = std::min(kSpan, W - x0);
    for (int32_t i = 0; i < n; ++i) take[i] = gen.Next() < threshold ? ~0u : 0u;
    for (int32_t row = 0; row < H; ++row) {
      const size_t at = static_cast<size_t>(row) * W + x0;
      Pixel* d = work.Bits() + at;
      const Pixel* s = nb.Bits() + at;
      for (int32_t i = 0; i < n; ++i) d[i] = (s[i] & take[i]) | (d[i] & ~take[i]);
    }
  }
}

// --- Pivots -------------------------------------------------------------------------------

namespace {
struct FixedRotation {
  int32_t c, d;  // 65536 * sin(-theta), 65536 * cos(-theta), cut toward zero
};
FixedRotation RotationFor(double theta) {
  return {static_cast<int32_t>(std::trunc(65536.0 * std::sin(-theta))),
          static_cast<int32_t>(std::trunc(65536.0 * std::cos(-theta)))};
}
// The products are 32-bit and wrap as the platform's integers do.
int32_t Wrap(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}
}  // namespace

namespace reference {
void RotateImage(Bitmap& work, const Bitmap& nb, int32_t px, int32_t py, double theta) {
  const int32_t W = work.Width(), H = work.Height();
  if (!BlocksMatch(work, nb, W, H)) return;
  const auto [c, d] = RotationFor(theta);
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      const int64_t u = int64_t{x} + 1 - px, v = int64_t{H} - py - y;
      const int32_t sx = px + (Wrap(d * u - c * v) >> 16);
      const int32_t f = py + (Wrap(c * u + d * v) >> 16);
      if (sx >= 0 && sx < W && f >= 0 && f < H) work.SetPixel(x, y, nb.GetPixel(sx, H - 1 - f));
    }
  }
}
}  // namespace reference

void RotateImage(Bitmap& work, const Bitmap& nb, int32_t px, int32_t py, double theta) {
  const int32_t W = work.Width(), H = work.Height();
  if (!BlocksMatch(work, nb, W, H)) return;
  const auto [c, d] = RotationFor(theta);
  const Pixel* src = nb.Bits();
  const uint32_t uc = static_cast<uint32_t>(c), ud = static_cast<uint32_t>(d);
  // Along a row u grows by one, so both sums grow by d and c; unsigned sums wrap exactly
  // as the 32-bit products do. (Walking Work in tiles to keep New's rows in the caches was
  // measured and gained nothing overall: it helps near rest and costs near 45 degrees.)
  const uint32_t u0 = static_cast<uint32_t>(1 - int64_t{px});
  for (int32_t y = 0; y < H; ++y) {
    const uint32_t v = static_cast<uint32_t>(int64_t{H} - py - y);
    uint32_t a = ud * u0 - uc * v;
    uint32_t b = uc * u0 + ud * v;
    Pixel* row = work.ScanLine(y);
    for (int32_t x = 0; x < W; ++x, a += ud, b += uc) {
      const int32_t sx = px + (static_cast<int32_t>(a) >> 16);
      // f counts rows from the bottom, which is New's block order.
      const int32_t f = py + (static_cast<int32_t>(b) >> 16);
      if (static_cast<uint32_t>(sx) < static_cast<uint32_t>(W) &&
          static_cast<uint32_t>(f) < static_cast<uint32_t>(H))
        row[x] = src[static_cast<size_t>(f) * W + sx];
    }
  }
}

void Pivot(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  const bool atRight = args.values[0] != 0, atBottom = args.values[1] != 0;
  // The pivot lies just outside the picture's corner. The top-left and bottom-right pivots
  // turn the picture in from a quarter turn to the left, the other two from a quarter turn
  // to the right.
  const int32_t turn = atRight == atBottom ? 1 : -1;
  RotateImage(work, nb, atRight ? W : -1, atBottom ? H : -1,
              turn * (100 - percent) * std::numbers::pi / 200);
}

}  // namespace vec
