#include "transitions/BlendEffects.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

#include "base/FrameThreads.h"
#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/Blit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEC_HAVE_AVX2_PATHS 1
#define VEC_TARGET_AVX2 __attribute__((target("avx2")))
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

VectorLevel BestVectorLevel() {
  static const VectorLevel best = [] {
#if defined(VEC_HAVE_AVX2_PATHS)
    if (__builtin_cpu_supports("avx2")) return VectorLevel::kAvx2;
#endif
#if defined(__SSE2__)
    return VectorLevel::kSse2;
#else
    return VectorLevel::kScalar;
#endif
  }();
  return best;
}

namespace {
std::atomic<VectorLevel>& LevelLimit() {
  static std::atomic<VectorLevel> limit{VectorLevel::kAvx2};
  return limit;
}
}  // namespace

VectorLevel CurrentVectorLevel() {
  return std::min(BestVectorLevel(), LevelLimit().load(std::memory_order_relaxed));
}

void LimitVectorLevel(VectorLevel level) {
  LevelLimit().store(level, std::memory_order_relaxed);
}

namespace {

// d + ((alpha * (s - d)) >> 8) with an arithmetic shift equals
// ((256 - alpha) * d + alpha * s) >> 8: 256 * d is a whole multiple of 256, so it moves
// out of the floor unchanged. The sum is at most 256 * 255 and fits an unsigned 16-bit
// lane, so each lane takes two multiplications, an add and a shift. The fourth byte's
// weights are 256 and 0, which keep it.
#if defined(__SSE2__)
size_t BlendPixelsSse2(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  const auto a = static_cast<int16_t>(alpha), keep = static_cast<int16_t>(256 - alpha);
  const __m128i ws = _mm_set_epi16(0, a, a, a, 0, a, a, a);
  const __m128i wd = _mm_set_epi16(256, keep, keep, keep, 256, keep, keep, keep);
  const __m128i zero = _mm_setzero_si128();
  auto half = [&](__m128i d16, __m128i s16) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, wd), _mm_mullo_epi16(s16, ws)), 8);
  };
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i lo = half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}
#endif

#if defined(VEC_HAVE_AVX2_PATHS)
VEC_TARGET_AVX2 size_t BlendPixelsAvx2(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  const auto a = static_cast<int16_t>(alpha), keep = static_cast<int16_t>(256 - alpha);
  const __m256i ws = _mm256_set_epi16(0, a, a, a, 0, a, a, a, 0, a, a, a, 0, a, a, a);
  const __m256i wd = _mm256_set_epi16(256, keep, keep, keep, 256, keep, keep, keep, 256, keep, keep,
                                      keep, 256, keep, keep, keep);
  const __m256i zero = _mm256_setzero_si256();
  size_t i = 0;
  // Unpacking and packing stay within each 128-bit half, so the pixels keep their places.
  for (; i + 8 <= count; i += 8) {
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i lo =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), wd),
                                           _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), ws)),
                          8);
    const __m256i hi =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), wd),
                                           _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), ws)),
                          8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
  }
  return i;
}
#endif

}  // namespace

void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  alpha = std::clamp(alpha, 0, 256);
  size_t i = 0;
  switch (CurrentVectorLevel()) {
    case VectorLevel::kAvx2:
#if defined(VEC_HAVE_AVX2_PATHS)
      i = BlendPixelsAvx2(dst, src, count, alpha);
      break;
#endif
      [[fallthrough]];
    case VectorLevel::kSse2:
#if defined(__SSE2__)
      i = BlendPixelsSse2(dst, src, count, alpha);
      break;
#endif
      [[fallthrough]];
    case VectorLevel::kScalar:
      break;
  }
  for (; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

void Fade(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  Bitmap& work = frame.work;
  const Bitmap& nb = frame.newBmp;
  const int32_t W = frame.W, H = frame.H, percent = frame.percent;
  if (!BlocksMatch(work, nb, W, H)) return;
  const int32_t alpha = MulDiv(256, percent, 100);
  SplitRows(H, work.PixelCount(), [&](int32_t begin, int32_t end) {
    const size_t first = static_cast<size_t>(begin) * static_cast<size_t>(W);
    BlendPixels(work.Bits() + first, nb.Bits() + first,
                static_cast<size_t>(end - begin) * static_cast<size_t>(W), alpha);
  });
}

void Pixelate(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
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

namespace {

#if defined(VEC_HAVE_AVX2_PATHS)
// Thirty-two pixels a step in four vectors of eight: lane j of vector v holds the draw of
// pixel i + 8 v + j, and every lane steps 32 draws at once (seed * a^32 + (a^31 + ... +
// a + 1)), so the four multiplications do not wait on each other. Returns the pixels done
// and leaves in `next` the draws of the pixels that follow.
VEC_TARGET_AVX2 size_t DissolveAvx2(Pixel* d, const Pixel* s, size_t count, uint32_t first,
                                    uint32_t threshold, std::array<uint32_t, 32>& next) {
  constexpr RandomGenerator::Jump step32 = RandomGenerator::StepsOf(32);
  alignas(32) std::array<uint32_t, 32> draws;
  draws[0] = first;
  for (size_t k = 1; k < draws.size(); ++k) draws[k] = RandomGenerator::Step(draws[k - 1]);
  __m256i seeds[4];
  for (size_t v = 0; v < 4; ++v)
    seeds[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(draws.data() + 8 * v));
  const __m256i mul = _mm256_set1_epi32(static_cast<int32_t>(step32.multiplier));
  const __m256i add = _mm256_set1_epi32(static_cast<int32_t>(step32.increment));
  // Unsigned "seed < threshold" as a signed comparison of both with the top bit flipped.
  const __m256i flip = _mm256_set1_epi32(static_cast<int32_t>(0x80000000u));
  const __m256i limit = _mm256_xor_si256(_mm256_set1_epi32(static_cast<int32_t>(threshold)), flip);
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    for (size_t v = 0; v < 4; ++v) {
      const __m256i take = _mm256_cmpgt_epi32(limit, _mm256_xor_si256(seeds[v], flip));
      auto* out = reinterpret_cast<__m256i*>(d + i + 8 * v);
      const __m256i old = _mm256_loadu_si256(out);
      const __m256i fresh = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 8 * v));
      _mm256_storeu_si256(out, _mm256_blendv_epi8(old, fresh, take));
      seeds[v] = _mm256_add_epi32(_mm256_mullo_epi32(seeds[v], mul), add);
    }
  }
  for (size_t v = 0; v < 4; ++v)
    _mm256_store_si256(reinterpret_cast<__m256i*>(draws.data() + 8 * v), seeds[v]);
  next = draws;
  return i;
}
#endif

}  // namespace

namespace {

// Dissolve of `count` pixels whose first draw is `first`.
void DissolveRun(Pixel* d, const Pixel* s, size_t count, uint32_t first, uint32_t threshold) {
  // The draws for pixels i, i + 1, i + 2, i + 3 come from four interleaved copies of the
  // sequence, each stepping four draws at a time (seed * a^4 + (a^3 + a^2 + a + 1)), so
  // the multiplications do not wait on each other. The choice is a mask, not a branch:
  // at mid percents it is a coin toss.
  constexpr RandomGenerator::Jump step4 = RandomGenerator::StepsOf(4);
  RandomGenerator gen{first};
  auto pick = [threshold](Pixel old, Pixel fresh, uint32_t seed) {
    const uint32_t take = 0u - static_cast<uint32_t>(seed < threshold);
    return (fresh & take) | (old & ~take);
  };
#if defined(VEC_HAVE_AVX2_PATHS)
  if (CurrentVectorLevel() == VectorLevel::kAvx2) {
    std::array<uint32_t, 32> next;
    size_t i = DissolveAvx2(d, s, count, gen.Seed(), threshold, next);
    for (size_t k = 0; i < count; ++i, ++k) d[i] = pick(d[i], s[i], next[k]);
    return;
  }
#endif
  uint32_t s0 = gen.Seed(), s1 = gen.Next(), s2 = gen.Next(), s3 = gen.Next();
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    d[i] = pick(d[i], s[i], s0);
    d[i + 1] = pick(d[i + 1], s[i + 1], s1);
    d[i + 2] = pick(d[i + 2], s[i + 2], s2);
    d[i + 3] = pick(d[i + 3], s[i + 3], s3);
    s0 = step4.Apply(s0);
    s1 = step4.Apply(s1);
    s2 = step4.Apply(s2);
    s3 = step4.Apply(s3);
  }
  const uint32_t tail[3] = {s0, s1, s2};
  for (size_t k = 0; i < count; ++i, ++k) d[i] = pick(d[i], s[i], tail[k]);
}

}  // namespace

void Dissolve(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  Bitmap& work = frame.work;
  const Bitmap& nb = frame.newBmp;
  const int32_t W = frame.W, H = frame.H, percent = frame.percent;
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
  // Pixel i of the block takes draw i + 1 from the fixed seed; a run of rows starts its
  // sequence where the rows before it leave off.
  SplitRows(H, static_cast<int64_t>(count), [&](int32_t begin, int32_t end) {
    const size_t first = static_cast<size_t>(begin) * static_cast<size_t>(W);
    DissolveRun(d + first, s + first, static_cast<size_t>(end - begin) * static_cast<size_t>(W),
                RandomGenerator::StepsOf(first + 1).Apply(FixedSeed(W, H)), threshold);
  });
}

namespace {

// d[i] = s[i] where mask[i] is all ones, kept where it is 0, for the leading whole vectors
// of `count`; returns the pixels done.
#if defined(__SSE2__)
size_t SelectPixelsSse2(Pixel* d, const Pixel* s, const uint32_t* mask, size_t count) {
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    auto* out = reinterpret_cast<__m128i*>(d + i);
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i fresh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(
        out, _mm_or_si128(_mm_and_si128(fresh, m), _mm_andnot_si128(m, _mm_loadu_si128(out))));
  }
  return i;
}
#endif

#if defined(VEC_HAVE_AVX2_PATHS)
VEC_TARGET_AVX2 size_t SelectPixelsAvx2(Pixel* d, const Pixel* s, const uint32_t* mask,
                                        size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    auto* out = reinterpret_cast<__m256i*>(d + i);
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    const __m256i fresh = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(out, _mm256_blendv_epi8(_mm256_loadu_si256(out), fresh, m));
  }
  return i;
}
#endif

}  // namespace

void RandomBarsHorizontal(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  Bitmap& work = frame.work;
  const Bitmap& nb = frame.newBmp;
  const int32_t W = frame.W, H = frame.H, percent = frame.percent;
  if (!BlocksMatch(work, nb, W, H)) return;
  const uint64_t threshold = TakeThreshold(percent);
  RandomGenerator gen{FixedSeed(W, H)};
  // Block order: the bottom row draws first. The draws come first, so that the copies of a
  // large frame can be split over threads.
  std::vector<uint8_t> taken(static_cast<size_t>(H));
  for (uint8_t& t : taken) t = gen.Next() < threshold;
  SplitRows(H, work.PixelCount(), [&](int32_t begin, int32_t end) {
    for (int32_t row = begin; row < end; ++row) {
      if (!taken[static_cast<size_t>(row)]) continue;
      const size_t at = static_cast<size_t>(row) * W;
      std::memcpy(work.Bits() + at, nb.Bits() + at, static_cast<size_t>(W) * sizeof(Pixel));
    }
  });
}

void RandomBarsVertical(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  Bitmap& work = frame.work;
  const Bitmap& nb = frame.newBmp;
  const int32_t W = frame.W, H = frame.H, percent = frame.percent;
  if (!BlocksMatch(work, nb, W, H)) return;
  const uint64_t threshold = TakeThreshold(percent);
  RandomGenerator gen{FixedSeed(W, H)};
  // One draw per column, left to right; the choices of a span of columns are kept on the
  // stack and applied to every row before the next span is drawn.
  constexpr int32_t kSpan = 4096;
  std::array<uint32_t, kSpan> take;  // all ones where the column is taken
  for (int32_t x0 = 0; x0 < W; x0 += kSpan) {
    const int32_t n = std::min(kSpan, W - x0);
    for (int32_t i = 0; i < n; ++i) take[i] = gen.Next() < threshold ? ~0u : 0u;
    const VectorLevel level = CurrentVectorLevel();
    SplitRows(H, work.PixelCount(), [&](int32_t begin, int32_t end) {
      for (int32_t row = begin; row < end; ++row) {
        const size_t at = static_cast<size_t>(row) * W + x0;
        Pixel* d = work.Bits() + at;
        const Pixel* s = nb.Bits() + at;
        const auto count = static_cast<size_t>(n);
        size_t i = 0;
        switch (level) {
          case VectorLevel::kAvx2:
#if defined(VEC_HAVE_AVX2_PATHS)
            i = SelectPixelsAvx2(d, s, take.data(), count);
            break;
#endif
            [[fallthrough]];
          case VectorLevel::kSse2:
#if defined(__SSE2__)
            i = SelectPixelsSse2(d, s, take.data(), count);
            break;
#endif
            [[fallthrough]];
          case VectorLevel::kScalar:
            break;
        }
        for (; i < count; ++i) d[i] = (s[i] & take[i]) | (d[i] & ~take[i]);
      }
    });
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

namespace {

// The row-by-row walk with a bounds test per pixel; it follows the 32-bit wrap of the
// products wherever it happens.
void RotateRowsChecked(Bitmap& work, const Bitmap& nb, int32_t px, int32_t py, FixedRotation r) {
  const int32_t W = work.Width(), H = work.Height();
  const Pixel* src = nb.Bits();
  const uint32_t uc = static_cast<uint32_t>(r.c), ud = static_cast<uint32_t>(r.d);
  // Along a row u grows by one, so both sums grow by d and c; unsigned sums wrap exactly
  // as the 32-bit products do.
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

// The columns [first, last) of a row whose value p + floor((start + x * step) / 65536)
// lies in [0, n). The value is monotonic in x, so the columns form one run; each end is
// found by bisection on the exact value.
struct Span {
  int32_t first, last;
};
Span ColumnsInside(int64_t start, int64_t step, int32_t p, int32_t n, int32_t width) {
  auto value = [&](int64_t x) { return p + ((start + x * step) >> 16); };
  // The first x in [0, width] for which `past` holds; `past` turns from false to true once.
  auto firstWhere = [width](auto past) {
    int64_t lo = 0, hi = width;
    while (lo < hi) {
      const int64_t mid = (lo + hi) / 2;
      if (past(mid))
        hi = mid;
      else
        lo = mid + 1;
    }
    return static_cast<int32_t>(lo);
  };
  if (step >= 0)
    return {firstWhere([&](int64_t x) { return value(x) >= 0; }),
            firstWhere([&](int64_t x) { return value(x) >= n; })};
  return {firstWhere([&](int64_t x) { return value(x) < n; }),
          firstWhere([&](int64_t x) { return value(x) < 0; })};
}

#if defined(VEC_HAVE_AVX2_PATHS)
// The walk along a row of Work, eight columns at a time: lanes hold the sums of the eight
// columns (relative to the pivot), `a` and `b` those of the first column in scalar form.
struct RotationLanes {
  __m256i va, vb;
  int32_t a, b;
};

// The eight pixels of New for the lanes. When the turn is small, the eight sources lie
// in at most three neighbouring rows and eight neighbouring columns of New: those are read
// as whole runs and each lane picks its pixel with a permute, which costs less than a
// gather. Otherwise (and where a run would leave New's row) they are gathered.
VEC_TARGET_AVX2 inline __m256i RotateEight(const RotationLanes& l, const Pixel* src, int32_t W,
                                           int32_t px, int32_t py, int32_t d, int32_t c) {
  const int32_t s0 = l.a >> 16, f0 = l.b >> 16, f7 = (l.b + 7 * c) >> 16;
  const int32_t rows = f7 - f0, col = px + s0;
  const __m256i sx = _mm256_srai_epi32(l.va, 16), f = _mm256_srai_epi32(l.vb, 16);
  if (d >= 0 && rows >= -2 && rows <= 2 && col + 8 <= W) {
    // With d >= 0 and d <= 2^16 the columns grow by 0 or 1 a lane: offsets 0..7.
    const Pixel* p0 = src + static_cast<ptrdiff_t>(py + f0) * W + col;
    const __m256i pick = _mm256_sub_epi32(sx, _mm256_set1_epi32(s0));
    __m256i out =
        _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0)), pick);
    if (rows != 0) {
      const ptrdiff_t step = rows > 0 ? W : -W;
      const __m256i apart = _mm256_abs_epi32(_mm256_sub_epi32(f, _mm256_set1_epi32(f0)));
      const __m256i next = _mm256_permutevar8x32_epi32(
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0 + step)), pick);
      out = _mm256_blendv_epi8(out, next, _mm256_cmpeq_epi32(apart, _mm256_set1_epi32(1)));
      if (rows == 2 || rows == -2) {
        const __m256i after = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0 + 2 * step)), pick);
        out = _mm256_blendv_epi8(out, after, _mm256_cmpeq_epi32(apart, _mm256_set1_epi32(2)));
      }
    }
    return out;
  }
  const __m256i index =
      _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(f, _mm256_set1_epi32(W)), sx),
                       _mm256_set1_epi32(py * W + px));
  return _mm256_i32gather_epi32(reinterpret_cast<const int*>(src), index, 4);
}

VEC_TARGET_AVX2 inline void StepEight(RotationLanes& l, __m256i stepA, __m256i stepB, int32_t d,
                                      int32_t c) {
  l.va = _mm256_add_epi32(l.va, stepA);
  l.vb = _mm256_add_epi32(l.vb, stepB);
  // Unsigned steps: past the row's last column the sums are no longer used.
  l.a = static_cast<int32_t>(static_cast<uint32_t>(l.a) + 8u * static_cast<uint32_t>(d));
  l.b = static_cast<int32_t>(static_cast<uint32_t>(l.b) + 8u * static_cast<uint32_t>(c));
}

// Small turns: when |c| <= kSmallTurn the eight sources of a group lie in at most three
// neighbouring rows of New (f grows by under 2/7 of a row per column, so lanes 0 and 7 are at
// most two rows apart) and, with 0 <= d <= 2^16, in eight neighbouring columns. Such groups
// need no tests of their own: all three rows are read, each lane picks its column with a
// permute, and its row by two blends whose masks are the lane's row distance from lane 0
// (negative where the lane lies one row on, or two). The loop runs only over groups whose
// eight columns and three rows lie inside New, found before it starts.
constexpr int32_t kSmallTurn = 18724;  // 7 * 18724 < 2 * 65536

// Whether the group of eight columns that starts where the sums are (a, b) reads only
// inside New with the small-turn loop below: columns col .. col + 7 and rows f0 .. f0 + 2
// (f0 - 2 .. f0 when the rows fall; f0 alone for c == 0).
bool SmallTurnGroupInside(int64_t a, int64_t b, int32_t W, int32_t H, int32_t px, int32_t py,
                          int32_t c) {
  const int64_t col = px + (a >> 16), f0 = py + (b >> 16);
  const int64_t f2 = f0 + (c > 0 ? 2 : c < 0 ? -2 : 0);
  return col >= 0 && col + 8 <= W && f0 >= 0 && f0 < H && f2 >= 0 && f2 < H;
}

// kRows: +1 when the rows climb along a row of Work (c > 0), -1 when they fall, 0 for c == 0.
// Writes whole chunks of 64 columns from x up to `end`: every group that starts before it
// reads only inside New (RotateSmallTurn finds it). Returns the first column not done.
template <int kRows>
VEC_TARGET_AVX2 int32_t RotateSmallTurnAvx2(Pixel* out, const Pixel* src, int32_t W, int32_t px,
                                            int32_t py, int32_t x, int32_t end, int32_t a,
                                            int32_t b, int32_t d, int32_t c, bool stream) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i va =
      _mm256_add_epi32(_mm256_set1_epi32(a), _mm256_mullo_epi32(lane, _mm256_set1_epi32(d)));
  __m256i vb =
      _mm256_add_epi32(_mm256_set1_epi32(b), _mm256_mullo_epi32(lane, _mm256_set1_epi32(c)));
  const __m256i stepA = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(d)));
  const __m256i stepB = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(c)));
  const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
  const ptrdiff_t rowStep = kRows * static_cast<ptrdiff_t>(W);
  // Lane 0's source is at src + origin + f0 * W + s0.
  const ptrdiff_t origin = static_cast<ptrdiff_t>(py) * W + px;
  // The line that the row kAheadRows further down reads at about the same columns (see
  // RotateSpanAvx2): kAheadRows rows of Work move the sources by -kAheadRows * d rows and
  // kAheadRows * c columns of New.
  constexpr int32_t kAheadRows = 8;
  const ptrdiff_t ahead = -((int64_t{kAheadRows} * d) >> 16) * static_cast<ptrdiff_t>(W) +
                          ((int64_t{kAheadRows} * c) >> 16);
  const auto base = reinterpret_cast<uintptr_t>(src);
  // Streamed rows go through a small buffer, so that the streaming stores are whole
  // aligned groups written together; others are stored straight into Work.
  constexpr int32_t kChunk = 64;
  alignas(32) Pixel chunk[kChunk];
  for (; x + kChunk <= end; x += kChunk) {
    Pixel* target = stream ? chunk : out + x;
    for (int32_t j = 0; j < kChunk; j += 8) {
      const ptrdiff_t at = origin + static_cast<ptrdiff_t>(b >> 16) * W + (a >> 16);
      const Pixel* p0 = src + at;
      _mm_prefetch(
          reinterpret_cast<const char*>(base + static_cast<uintptr_t>(at + ahead) * sizeof(Pixel)),
          _MM_HINT_T0);
      const __m256i sx = _mm256_srai_epi32(va, 16);
      const __m256i pick = _mm256_sub_epi32(sx, _mm256_permutevar8x32_epi32(sx, zero));
      __m256i r = _mm256_permutevar8x32_epi32(
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0)), pick);
      if constexpr (kRows != 0) {
        const __m256i f = _mm256_srai_epi32(vb, 16);
        const __m256i f0 = _mm256_permutevar8x32_epi32(f, zero);
        // -1 for a lane one row on from lane 0, -2 for two; +1 taken for the second blend.
        const __m256i on = kRows > 0 ? _mm256_sub_epi32(f0, f) : _mm256_sub_epi32(f, f0);
        const __m256i r1 = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0 + rowStep)), pick);
        const __m256i r2 = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0 + 2 * rowStep)), pick);
        r = _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(r), _mm256_castsi256_ps(r1),
                                                 _mm256_castsi256_ps(on)));
        r = _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(r), _mm256_castsi256_ps(r2),
                                                 _mm256_castsi256_ps(_mm256_add_epi32(on, one))));
      }
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + j), r);
      va = _mm256_add_epi32(va, stepA);
      vb = _mm256_add_epi32(vb, stepB);
      a = static_cast<int32_t>(static_cast<uint32_t>(a) + 8u * static_cast<uint32_t>(d));
      b = static_cast<int32_t>(static_cast<uint32_t>(b) + 8u * static_cast<uint32_t>(c));
    }
    if (stream) {
      for (int32_t j = 0; j < kChunk; j += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x + j),
                            _mm256_load_si256(reinterpret_cast<const __m256i*>(chunk + j)));
    }
  }
  return x;
}

// Copies n pixels past the cache: streaming stores from the first 32-byte boundary on.
VEC_TARGET_AVX2 void StreamPixels(Pixel* out, const Pixel* in, int32_t n) {
  int32_t k = 0;
  for (; k < n && reinterpret_cast<uintptr_t>(out + k) % 32 != 0; ++k) out[k] = in[k];
  for (; k + 8 <= n; k += 8)
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + k),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k)));
  for (; k < n; ++k) out[k] = in[k];
  _mm_sfence();
}

// The small-turn loop over the columns [x, last) of a row, as far as its groups stay inside
// New; a0 and b0 are the row's sums at column 0. Returns the first column not done.
VEC_TARGET_AVX2 int32_t RotateSmallTurn(Pixel* out, const Pixel* src, int32_t W, int32_t H,
                                        int32_t px, int32_t py, int32_t x, int32_t last, int64_t a0,
                                        int64_t b0, int32_t d, int32_t c, bool stream) {
  if (d < 0 || d > 65536 || c < -kSmallTurn || c > kSmallTurn) return x;
  // The groups that start at x + 8k are inside New for k below some K and outside from
  // there on: the column and the third row move away from New's edges only one way.
  const auto inside = [&](int64_t k) {
    const int64_t s = x + 8 * k;
    return SmallTurnGroupInside(a0 + s * d, b0 + s * c, W, H, px, py, c);
  };
  int64_t lo = 0, hi = (last - x) / 8;
  while (lo < hi) {
    const int64_t mid = (lo + hi) / 2;
    if (inside(mid))
      lo = mid + 1;
    else
      hi = mid;
  }
  const auto end = static_cast<int32_t>(x + 8 * lo);
  const auto a = static_cast<int32_t>(a0 + int64_t{x} * d),
             b = static_cast<int32_t>(b0 + int64_t{x} * c);
  if (c > 0) return RotateSmallTurnAvx2<1>(out, src, W, px, py, x, end, a, b, d, c, stream);
  if (c < 0) return RotateSmallTurnAvx2<-1>(out, src, W, px, py, x, end, a, b, d, c, stream);
  return RotateSmallTurnAvx2<0>(out, src, W, px, py, x, end, a, b, d, c, stream);
}

// Columns [first, last) of one row, eight at a time, every source inside New: a and b are
// the sums at `first`. Returns the first column not done.
VEC_TARGET_AVX2 int32_t RotateSpanAvx2(Pixel* out, const Pixel* src, int32_t W, int32_t px,
                                       int32_t py, int32_t first, int32_t last, int32_t a,
                                       int32_t b, int32_t d, int32_t c, bool stream) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  RotationLanes l{
      _mm256_add_epi32(_mm256_set1_epi32(a), _mm256_mullo_epi32(lane, _mm256_set1_epi32(d))),
      _mm256_add_epi32(_mm256_set1_epi32(b), _mm256_mullo_epi32(lane, _mm256_set1_epi32(c))), a, b};
  const __m256i stepA = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(d)));
  const __m256i stepB = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(c)));
  int32_t x = first;
  // The pixels go through a small buffer on the stack before Work: Work and New are laid
  // out alike, so storing straight into Work puts the stores 4 KiB apart from the loads
  // that follow them, which the processor takes for a possible overlap and stalls on.
  constexpr int32_t kChunk = 64;
  alignas(32) Pixel chunk[kChunk];
  // Along a row the sources climb through New's rows (one row every few columns at small
  // turns), so nearly every eight pixels wait on a line of New that no earlier row of Work
  // read: too scattered for the processor's own fetching ahead. Each step asks for the line
  // that the row kAheadRows further down will read at the same columns, so that its wait
  // overlaps this row's work. A hint only: an address outside New is never read.
  constexpr int32_t kAheadRows = 8;
  const auto base = reinterpret_cast<uintptr_t>(src);
  const int64_t aheadA = int64_t{kAheadRows} * c, aheadB = -int64_t{kAheadRows} * d;
  for (; x + kChunk <= last; x += kChunk) {
    for (int32_t j = 0; j < kChunk; j += 8) {
      const int64_t ahead =
          (py + ((l.b + aheadB) >> 16)) * int64_t{W} + px + ((l.a + aheadA) >> 16);
      _mm_prefetch(
          reinterpret_cast<const char*>(base + static_cast<uintptr_t>(ahead) * sizeof(Pixel)),
          _MM_HINT_T0);
      _mm256_store_si256(reinterpret_cast<__m256i*>(chunk + j),
                         RotateEight(l, src, W, px, py, d, c));
      StepEight(l, stepA, stepB, d, c);
    }
    if (stream) {
      for (int32_t j = 0; j < kChunk; j += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x + j),
                            _mm256_load_si256(reinterpret_cast<const __m256i*>(chunk + j)));
    } else {
      std::memcpy(out + x, chunk, sizeof chunk);
    }
  }
  for (; x + 8 <= last; x += 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), RotateEight(l, src, W, px, py, d, c));
    StepEight(l, stepA, stepB, d, c);
  }
  if (stream) _mm_sfence();
  return x;
}
#endif

// RotateImage; with `old` (a W x H block) Old's pixels also go wherever no pixel of New
// lands, in the same pass, so that every pixel of Work is written.
void Rotate(Bitmap& work, const Bitmap& nb, const Bitmap* old, int32_t px, int32_t py,
            double theta) {
  const int32_t W = work.Width(), H = work.Height();
  if (!BlocksMatch(work, nb, W, H)) return;
  const FixedRotation rot = RotationFor(theta);
  // The products stay within 32 bits when |u| + |v| < 2^15 everywhere, one column past the
  // row's end included (|c|, |d| <= 2^16); then the sums are exact and monotonic along a
  // row. Else the wrap decides.
  const int64_t maxU = std::max(std::abs(1 - int64_t{px}), std::abs(int64_t{W} - px));
  const int64_t maxV = std::max(std::abs(int64_t{H} - py), std::abs(int64_t{1} - py));
  if (maxU + 1 + maxV >= (int64_t{1} << 15)) {
    // Any pixel may be skipped here: Old goes in first.
    if (old != nullptr) std::copy_n(old->Bits(), old->PixelCount(), work.Bits());
    RotateRowsChecked(work, nb, px, py, rot);
    return;
  }
  const int64_t c = rot.c, d = rot.d;
  const Pixel* src = nb.Bits();
  const int64_t u0 = 1 - int64_t{px};
  const auto dd = static_cast<int32_t>(d), cc = static_cast<int32_t>(c);
#if defined(VEC_HAVE_AVX2_PATHS)
  const bool avx2 = CurrentVectorLevel() == VectorLevel::kAvx2;
#endif
  const bool large = work.PixelCount() >= static_cast<size_t>(LargeFramePixels());
  // Each row reads only New: the rows of a large frame may be split over threads.
  SplitRows(H, work.PixelCount(), [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y) {
      const int64_t v = int64_t{H} - py - y;
      const int64_t a0 = d * u0 - c * v, b0 = c * u0 + d * v;
      // Only the columns whose source lies in New are visited; the rest keep Work's pixel.
      const Span sx = ColumnsInside(a0, d, px, W, W), f = ColumnsInside(b0, c, py, H, W);
      const int32_t first = std::max(sx.first, f.first), last = std::min(sx.last, f.last);
      Pixel* out = work.ScanLine(y);
      if (old != nullptr) {
        // Every column in [first, last) gets New's pixel below; Old fills the rest, streamed
        // to memory with the rest of a large frame.
        const Pixel* from = old->ScanLine(y);
        const auto copy = [&](int32_t begin, int32_t end) {
#if defined(VEC_HAVE_AVX2_PATHS)
          if (avx2 && large) return StreamPixels(out + begin, from + begin, end - begin);
#endif
          std::copy(from + begin, from + end, out + begin);
        };
        if (first >= last) {
          copy(0, W);
        } else {
          copy(0, first);
          copy(last, W);
        }
      }
      if (first >= last) continue;
      auto a = static_cast<int32_t>(a0 + first * d), b = static_cast<int32_t>(b0 + first * c);
      int32_t x = first;
#if defined(VEC_HAVE_AVX2_PATHS)
      if (avx2) {
        // A large frame does not stay in the cache: its rows are streamed to memory, which
        // spares reading every line of Work before it is overwritten. A smaller one stays
        // cached for the present that reads it next (streaming measured slower there).
        const bool stream = large;
        if (stream) {
          // Up to a 32-byte boundary one by one, so that the streamed groups are aligned.
          const auto address = reinterpret_cast<uintptr_t>(out + x);
          const int32_t head =
              std::min(last - x, static_cast<int32_t>((32 - address % 32) % 32 / sizeof(Pixel)));
          for (const int32_t end = x + head; x < end; ++x, a += dd, b += cc) {
            const auto row = static_cast<size_t>(py + (b >> 16));
            out[x] = src[row * static_cast<size_t>(W) + static_cast<size_t>(px + (a >> 16))];
          }
        }
        x = RotateSmallTurn(out, src, W, H, px, py, x, last, a0, b0, dd, cc, stream);
        a = static_cast<int32_t>(a0 + x * d);
        b = static_cast<int32_t>(b0 + x * c);
        x = RotateSpanAvx2(out, src, W, px, py, x, last, a, b, dd, cc, stream);
        a = static_cast<int32_t>(a0 + x * d);
        b = static_cast<int32_t>(b0 + x * c);
      }
#endif
      for (; x < last; ++x, a += dd, b += cc) {
        // f counts rows from the bottom, which is New's block order.
        const auto row = static_cast<size_t>(py + (b >> 16));
        out[x] = src[row * static_cast<size_t>(W) + static_cast<size_t>(px + (a >> 16))];
      }
    }
  });
}

}  // namespace

void RotateImage(Bitmap& work, const Bitmap& nb, int32_t px, int32_t py, double theta) {
  Rotate(work, nb, nullptr, px, py, theta);
}

void Pivot(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  if (old != nullptr && (old->Width() != W || old->Height() != H)) return;
  const bool atRight = args.values[0] != 0, atBottom = args.values[1] != 0;
  // The pivot lies just outside the picture's corner. The top-left and bottom-right pivots
  // turn the picture in from a quarter turn to the left, the other two from a quarter turn
  // to the right.
  const int32_t turn = atRight == atBottom ? 1 : -1;
  Rotate(work, nb, old, atRight ? W : -1, atBottom ? H : -1,
         turn * (100 - percent) * std::numbers::pi / 200);
}

}  // namespace vec
