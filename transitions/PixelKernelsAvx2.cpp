// The pixel effects' kernels with 256-bit vectors; the ends of rows go pixel by pixel as in
// the plain kernels.

#include "transitions/PixelKernels.h"

#if defined(VEC_X86_KERNELS)
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/Random.h"

namespace vec {
namespace {

// See PixelKernelsSse2.cpp for the arithmetic.
VEC_TARGET("avx2") void Blend(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
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
  for (; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

// Thirty-two pixels a step in four vectors of eight: lane j of vector v holds the draw of
// pixel i + 8 v + j, and every lane steps 32 draws at once (seed * a^32 + (a^31 + ... +
// a + 1)), so the four multiplications do not wait on each other. Returns the pixels done
// and leaves in `next` the draws of the pixels that follow.
VEC_TARGET("avx2")
size_t DissolveEights(Pixel* d, const Pixel* s, size_t count, uint32_t first, uint32_t threshold,
                      std::array<uint32_t, 32>& next) {
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

VEC_TARGET("avx2")
void Dissolve(Pixel* d, const Pixel* s, size_t count, uint32_t first, uint32_t threshold) {
  std::array<uint32_t, 32> next;
  size_t i = DissolveEights(d, s, count, first, threshold, next);
  for (size_t k = 0; i < count; ++i, ++k) d[i] = PickBelow(d[i], s[i], next[k], threshold);
}

VEC_TARGET("avx2") void Select(Pixel* d, const Pixel* s, const uint32_t* mask, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    auto* out = reinterpret_cast<__m256i*>(d + i);
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    const __m256i fresh = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(out, _mm256_blendv_epi8(_mm256_loadu_si256(out), fresh, m));
  }
  for (; i < count; ++i) d[i] = (s[i] & mask[i]) | (d[i] & ~mask[i]);
}

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
VEC_TARGET("avx2")
inline __m256i RotateEight(const RotationLanes& l, const Pixel* src, int32_t W, int32_t px,
                           int32_t py, int32_t d, int32_t c) {
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

VEC_TARGET("avx2")
inline void StepEight(RotationLanes& l, __m256i stepA, __m256i stepB, int32_t d, int32_t c) {
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
VEC_TARGET("avx2")
int32_t
    RotateSmallTurnAvx2(Pixel* out, const Pixel* src, int32_t W, int32_t px, int32_t py, int32_t x,
                        int32_t end, int32_t a, int32_t b, int32_t d, int32_t c, bool stream) {
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
VEC_TARGET("avx2") void StreamPixels(Pixel* out, const Pixel* in, int32_t n) {
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
VEC_TARGET("avx2")
int32_t RotateSmallTurn(Pixel* out, const Pixel* src, int32_t W, int32_t H, int32_t px, int32_t py,
                        int32_t x, int32_t last, int64_t a0, int64_t b0, int32_t d, int32_t c,
                        bool stream) {
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
VEC_TARGET("avx2")
int32_t RotateSpanAvx2(Pixel* out, const Pixel* src, int32_t W, int32_t px, int32_t py,
                       int32_t first, int32_t last, int32_t a, int32_t b, int32_t d, int32_t c,
                       bool stream) {
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

VEC_TARGET("avx2") void TurnRowAvx2(const TurnRow& r, int32_t first, int32_t last) {
  int32_t x = first;
  if (r.stream) {
    // Up to a 32-byte boundary one by one, so that the streamed groups are aligned.
    const auto address = reinterpret_cast<uintptr_t>(r.out + x);
    const int32_t head =
        std::min(last - x, static_cast<int32_t>((32 - address % 32) % 32 / sizeof(Pixel)));
    TurnColumns(r, x, x + head);
    x += head;
  }
  x = RotateSmallTurn(r.out, r.src, r.W, r.H, r.px, r.py, x, last, r.a0, r.b0, r.d, r.c, r.stream);
  const auto a = static_cast<int32_t>(r.a0 + int64_t{x} * r.d);
  const auto b = static_cast<int32_t>(r.b0 + int64_t{x} * r.c);
  x = RotateSpanAvx2(r.out, r.src, r.W, r.px, r.py, x, last, a, b, r.d, r.c, r.stream);
  TurnColumns(r, x, last);
}

}  // namespace

const PixelKernels& pixel_kernels::Avx2() {
  static const PixelKernels set{Blend,           Select,      Dissolve,    Sse2().shadeSpan,
                                Sse2().shadeRow, TurnRowAvx2, StreamPixels};
  return set;
}

}  // namespace vec
#endif
