#include "transitions/BlendEffects.h"

#include <algorithm>
#include <array>
#include <cassert>
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
#include "transitions/PixelKernels.h"

namespace vec {
namespace {

// Whether there are pixels to draw. The pixel effects index the blocks directly, so both
// bitmaps must really be W x H: every caller sizes them so (DrawEffectStep), and a frame
// that breaks this is a mistake in the caller, stopped in debug builds. Release builds
// draw nothing rather than index past a block. An empty frame draws nothing.
bool BlocksMatch(const BottomUpBitmap& work, const BottomUpBitmap& newBmp, int32_t W, int32_t H) {
  const bool match =
      work.Width() == W && work.Height() == H && newBmp.Width() == W && newBmp.Height() == H;
  assert(match && "the pixel effects take Work and New of exactly W x H");
  return match && W > 0 && H > 0;
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

void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  CurrentPixelKernels().blend(dst, src, count, std::clamp(alpha, 0, 256));
}

void Fade(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  BottomUpBitmap& work = frame.work;
  const BottomUpBitmap& nb = frame.newBmp;
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
  const BottomUpBitmap* source = &work;
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
void Dissolve(BottomUpBitmap& work, const BottomUpBitmap& nb, int32_t W, int32_t H,
              int32_t percent) {
  if (!BlocksMatch(work, nb, W, H)) return;
  SavedRandSeed saved;
  SetRandSeed(FixedSeed(W, H));
  for (size_t i = 0; i < work.PixelCount(); ++i)
    if (Random(100) < percent) work.Bits()[i] = nb.Bits()[i];
}
}  // namespace reference

void Dissolve(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  BottomUpBitmap& work = frame.work;
  const BottomUpBitmap& nb = frame.newBmp;
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
  const PixelKernels& kernels = CurrentPixelKernels();
  // Pixel i of the block takes draw i + 1 from the fixed seed; a run of rows starts its
  // sequence where the rows before it leave off.
  SplitRows(H, static_cast<int64_t>(count), [&](int32_t begin, int32_t end) {
    const size_t first = static_cast<size_t>(begin) * static_cast<size_t>(W);
    kernels.dissolve(d + first, s + first,
                     static_cast<size_t>(end - begin) * static_cast<size_t>(W),
                     RandomGenerator::StepsOf(first + 1).Apply(FixedSeed(W, H)), threshold);
  });
}

void RandomBarsHorizontal(const EffectFrame& frame, const EffectArgs&) {
  // Plain variables, not a structured binding: the row runs below capture them.
  BottomUpBitmap& work = frame.work;
  const BottomUpBitmap& nb = frame.newBmp;
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
  BottomUpBitmap& work = frame.work;
  const BottomUpBitmap& nb = frame.newBmp;
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
    const PixelKernels& kernels = CurrentPixelKernels();
    SplitRows(H, work.PixelCount(), [&](int32_t begin, int32_t end) {
      for (int32_t row = begin; row < end; ++row) {
        const size_t at = static_cast<size_t>(row) * W + x0;
        kernels.select(work.Bits() + at, nb.Bits() + at, take.data(), static_cast<size_t>(n));
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
void RotateImage(BottomUpBitmap& work, const BottomUpBitmap& nb, int32_t px, int32_t py,
                 double theta) {
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
void RotateRowsChecked(BottomUpBitmap& work, const BottomUpBitmap& nb, int32_t px, int32_t py,
                       FixedRotation r) {
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

// RotateImage; with `old` (a W x H block) Old's pixels also go wherever no pixel of New
// lands, in the same pass, so that every pixel of Work is written.
void Rotate(BottomUpBitmap& work, const BottomUpBitmap& nb, const BottomUpBitmap* old, int32_t px,
            int32_t py, double theta) {
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
  const PixelKernels& kernels = CurrentPixelKernels();
  // A large frame does not stay in the cache: where the level can, its rows are streamed to
  // memory, which spares reading every line of Work before it is overwritten. A smaller one
  // stays cached for the present that reads it next (streaming measured slower there).
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
          if (large) return kernels.copyLarge(out + begin, from + begin, end - begin);
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
      const TurnRow row{
          out, src, W, H, px, py, a0, b0, static_cast<int32_t>(d), static_cast<int32_t>(c), large};
      kernels.turnRow(row, first, last);
    }
  });
}

}  // namespace

void RotateImage(BottomUpBitmap& work, const BottomUpBitmap& nb, int32_t px, int32_t py,
                 double theta) {
  Rotate(work, nb, nullptr, px, py, theta);
}

void Pivot(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  if (!BlocksMatch(work, nb, W, H)) return;
  const bool oldMatches = old == nullptr || (old->Width() == W && old->Height() == H);
  assert(oldMatches && "Old, when the frame names it, is W x H too");
  if (!oldMatches) return;
  const bool atRight = args.values[0] != 0, atBottom = args.values[1] != 0;
  // The pivot lies just outside the picture's corner. The top-left and bottom-right pivots
  // turn the picture in from a quarter turn to the left, the other two from a quarter turn
  // to the right.
  const int32_t turn = atRight == atBottom ? 1 : -1;
  Rotate(work, nb, old, atRight ? W : -1, atBottom ? H : -1,
         turn * (100 - percent) * std::numbers::pi / 200);
}

}  // namespace vec
