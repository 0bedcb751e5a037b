#include "transitions/BandEffects.h"

#include <algorithm>

#include "base/MathUtil.h"
#include "base/Random.h"

namespace vec {

namespace {

void RevealCollected(const EffectFrame& frame, const ComplexRegion& rgn) {
  RevealThroughRegion(frame, rgn.CreateRegion());
}

// Number of steps of a loop "for v = from step `step` while v < to" (step > 0).
size_t StepCount(int64_t from, int64_t to, int64_t step) {
  return from < to ? static_cast<size_t>((to - from + step - 1) / step) : 0;
}

}  // namespace

void BarsRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                int32_t hmode) {
  const int32_t e = std::min(W, H) / 50 + 1;
  rgn.Reserve(2 * (StepCount(0, int64_t{H} + e, 2 * e) + StepCount(0, int64_t{W} + e, 2 * e)));

  // Rows of thickness e that grow across the width.
  const bool hSecondHalf = W < ax;
  for (int32_t f = hSecondHalf ? e : 0; f < H + e; f += 2 * e) {
    if (hSecondHalf) {
      if (hmode == 1 || hmode == 4) rgn.AddRect(2 * W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 5) rgn.AddRect(0, f, ax - W, f + e);
      rgn.AddRect(0, f - e, W, f);
    } else {
      if (hmode == 1 || hmode == 5) rgn.AddRect(W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 4) rgn.AddRect(0, f, ax, f + e);
      if (hmode == 3) {
        rgn.AddRect(0, f + e, ax, f + 2 * e);
        rgn.AddRect(W - ax, f, W, f + e);
      }
    }
  }

  // Columns of thickness e that grow across the height.
  const bool vSecondHalf = H < ay;
  for (int32_t g = vSecondHalf ? e : 0; g < W + e; g += 2 * e) {
    if (vSecondHalf) {
      if (vmode == 1 || vmode == 4) rgn.AddRect(g, 2 * H - ay, g + e, H);
      if (vmode == 2 || vmode == 5) rgn.AddRect(g, 0, g + e, ay - H);
      rgn.AddRect(g - e, 0, g, H);
    } else {
      if (vmode == 1 || vmode == 5) rgn.AddRect(g, H - ay, g + e, H);
      if (vmode == 2 || vmode == 4) rgn.AddRect(g, 0, g + e, ay);
      if (vmode == 3) {
        rgn.AddRect(g, H - ay, g + e, H);
        rgn.AddRect(g + e, 0, g + 2 * e, ay);
      }
    }
  }
}

void ShredRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                 int32_t hmode) {
  const int32_t e = std::min(W, H) / 200 + 1;
  const int32_t mid = W / 2;
  rgn.Reserve(2 * (StepCount(0, H, e) + StepCount(0, W, e)));

  if (hmode != 0) {
    const int32_t l = ax < W ? W / 10 : 0;
    for (int32_t o = 0; o < H; o += e) {
      // The generator is called for every strip, also when the spread is 0.
      int32_t r = Random(2 * l) + ax - l;
      const int32_t t = o + e + H % e;
      if (hmode == 1) {
        rgn.AddRect(W - r, o, W, t);
      } else if (hmode == 2) {
        rgn.AddRect(0, o, r, t);
      } else {
        r /= 2;
        if (hmode == 3) {
          rgn.AddRect(mid - r, o, mid, t);
          rgn.AddRect(mid, o, mid + r, t);
        } else {
          rgn.AddRect(W - r, o, W, t);
          rgn.AddRect(0, o, r, t);
        }
      }
    }
  }

  if (vmode != 0) {
    const int32_t l = ay < H ? H / 10 : 0;
    const int32_t vmid = H / 2;
    for (int32_t o = 0; o < W; o += e) {
      int32_t r = Random(2 * l) + ay - l;
      const int32_t t = o + e + W % e;
      if (vmode == 1) {
        rgn.AddRect(o, H - r, t, H);
      } else if (vmode == 2) {
        rgn.AddRect(o, 0, t, r);
      } else {
        r /= 2;
        if (vmode == 3) {
          rgn.AddRect(o, vmid - r, t, vmid);
          rgn.AddRect(o, vmid, t, vmid + r);
        } else {
          rgn.AddRect(o, H - r, t, H);
          rgn.AddRect(o, 0, t, r);
        }
      }
    }
  }
}

namespace {

// Whether the square i places ahead of the front is shown: near the front more often.
bool TakeSquare(int32_t i, int32_t near) {
  const int32_t r = Random(i);
  return i <= near ? r <= 1 : r == 0;
}

}  // namespace

void SpeckleRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                   int32_t hmode) {
  if (hmode != 0) {
    const int32_t g = ax < W ? W / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s;
    const int32_t near = (3 * g) / (4 * s);
    // Rows of squares overlap by half.
    rgn.Reserve(StepCount(0, H, s / 2) * (static_cast<size_t>(count) + 1));
    for (int32_t row = 0; row < H; row += s / 2) {
      if (hmode == 1) {
        rgn.AddRect(W - ax, row, W, row + s);
        for (int32_t i = count; i >= 1; --i) {
          if (!TakeSquare(i, near)) continue;
          const int32_t x = W - ax - s * i;
          rgn.AddRect(x, row, x + s, row + s);
        }
      } else {
        rgn.AddRect(0, row, ax, row + s);
        for (int32_t i = count; i >= 1; --i) {
          if (!TakeSquare(i, near)) continue;
          const int32_t x = ax + s * i - s;
          rgn.AddRect(x, row, x + s, row + s);
        }
      }
    }
  }

  if (vmode != 0) {
    const int32_t g = ay < H ? H / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s;
    const int32_t near = (3 * g) / (4 * s);
    rgn.Reserve(static_cast<size_t>(rgn.Count()) +
                StepCount(0, W, s / 2) * (static_cast<size_t>(count) + 1));
    for (int32_t col = 0; col < W; col += s / 2) {
      if (vmode == 1) {
        rgn.AddRect(col, H - ay, col + s, H);
        for (int32_t i = count; i >= 1; --i) {
          if (!TakeSquare(i, near)) continue;
          const int32_t y = H - ay - s * i;
          rgn.AddRect(col, y, col + s, y + s);
        }
      } else {
        rgn.AddRect(col, 0, col + s, ay);
        for (int32_t i = count; i >= 1; --i) {
          if (!TakeSquare(i, near)) continue;
          const int32_t y = ay + s * i - s;
          rgn.AddRect(col, y, col + s, y + s);
        }
      }
    }
  }
}

// --- Bars, shreds and speckles ----------------------------------------------------------

namespace {

using RegionBuilder = void (*)(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H,
                               int32_t vmode, int32_t hmode);

// The region a builder collects for the family arguments {xScale, yScale, vmode, hmode},
// revealed.
void RevealBuilt(RegionBuilder build, const EffectFrame& frame, const EffectArgs& args) {
  const auto [xScale, yScale, vmode, hmode] = args.values;
  ComplexRegion rgn;
  build(rgn, xScale * frame.w, yScale * frame.h, frame.W, frame.H, vmode, hmode);
  RevealCollected(frame, rgn);
}

}  // namespace

void RevealBars(const EffectFrame& frame, const EffectArgs& args) {
  RevealBuilt(BarsRegion, frame, args);
}

void RevealShred(const EffectFrame& frame, const EffectArgs& args) {
  RevealBuilt(ShredRegion, frame, args);
}

void RevealSpeckle(const EffectFrame& frame, const EffectArgs& args) {
  RevealBuilt(SpeckleRegion, frame, args);
}

void CrissCrossFromBottomLeftTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  ComplexRegion fromBottomRight, fromTopLeft;
  BarsRegion(fromBottomRight, 2 * w, 2 * h, W, H, 1, 1);
  BarsRegion(fromTopLeft, 2 * w, 2 * h, W, H, 2, 2);
  std::optional<Region> first = fromBottomRight.CreateRegion();
  const std::optional<Region> second = fromTopLeft.CreateRegion();
  // A missing region is an empty one: the intersection is then empty too.
  if (first && second) {
    first->Combine(*second, RegionOp::And);
  } else if (first) {
    *first = Region();
  }
  RevealThroughRegion(frame, first);
}

// --- Random squares ---------------------------------------------------------------------

void RandomSquaresAppear(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t unit = std::min(W, H) / 50;
  const int32_t c = 2 * unit + 2;
  ComplexRegion rgn;
  // The same seed on every frame makes the squares accumulate as the percentage grows;
  // the draws come from a generator of the effect's own, so the shared sequence is left
  // where it stood.
  RandomGenerator gen{static_cast<uint32_t>(unit + 1) *
                      (static_cast<uint32_t>(W) + static_cast<uint32_t>(H))};
  rgn.Reserve(StepCount(0, W, c) * StepCount(0, H, c) *
                  static_cast<size_t>(std::clamp(percent, 0, 100)) / 100 +
              1);
  for (int32_t x = 0; x < W; x += c) {
    for (int32_t y = 0; y < H; y += c) {
      if (gen.Below(100) < percent) rgn.AddRect(x, y, x + c, y + c);
    }
  }
  RevealCollected(frame, rgn);
}

// --- Blinds and rectangle grids ---------------------------------------------------------

void BlindVertically(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = W / 40 + 1;
  const int32_t a = MulDiv(n, percent, 100);
  const int32_t step = 2 * (W / 40) + 2;
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, W, step));
  for (int32_t x = 0; x < W; x += step) rgn.AddRect(x + n - a, 0, x + n + a, H);
  RevealCollected(frame, rgn);
}

void BlindHorizontally(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = H / 40 + 1;
  const int32_t a = MulDiv(n, percent, 100);
  const int32_t step = 2 * (H / 40) + 2;
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, H, step));
  for (int32_t y = 0; y < H; y += step) rgn.AddRect(0, y + n - a, W, y + n + a);
  RevealCollected(frame, rgn);
}

void UnevenBlindFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  if (w <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(w, percent, 100);
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, W, w));
  for (int32_t x = 0; x < W; x += w) rgn.AddRect(x, 0, x + a, H);
  RevealCollected(frame, rgn);
}

void UnevenBlindFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  if (w <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(w, percent, 100);
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, W, w));
  for (int32_t x = W; x > 0; x -= w) rgn.AddRect(x - a, 0, x, H);
  RevealCollected(frame, rgn);
}

void UnevenBlindFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  if (h <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(h, percent, 100);
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, H, h));
  for (int32_t y = 0; y < H; y += h) rgn.AddRect(0, y, W, y + a);
  RevealCollected(frame, rgn);
}

void UnevenBlindFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  if (h <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(h, percent, 100);
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, H, h));
  for (int32_t y = H; y > 0; y -= h) rgn.AddRect(0, y - a, W, y);
  RevealCollected(frame, rgn);
}

void RectangularShred(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t a = MulDiv(n, percent, 100);
  ComplexRegion rgn;
  rgn.Reserve(StepCount(0, W, 2 * n) * StepCount(0, H, 2 * n));
  for (int32_t x = 0; x < W; x += 2 * n) {
    for (int32_t y = 0; y < H; y += 2 * n) rgn.AddRect(x + n - a, y + n - a, x + n + a, y + n + a);
  }
  RevealCollected(frame, rgn);
}

void RectanglesAcross(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const bool fromRight = args.values[0] != 0;
  const int32_t k = H / 20;
  if (w <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(k, percent, 100);
  const int32_t b = MulDiv(w, percent, 100);
  ComplexRegion rgn;
  // Below 20 rows the bars have no height (and no period); the blinds still open, so the
  // last frame covers the picture on small outputs too.
  if (k > 0) {
    rgn.Reserve(StepCount(-k, H, 3 * k) + StepCount(0, W, w));
    for (int32_t y = -k; y < H; y += 3 * k) rgn.AddRect(0, y - a, W, y + a);
  }
  if (fromRight) {
    for (int32_t x = W; x > 0; x -= w) rgn.AddRect(x - b, 0, x, H);
  } else {
    for (int32_t x = 0; x < W; x += w) rgn.AddRect(x, 0, x + b, H);
  }
  RevealCollected(frame, rgn);
}

void RectanglesDown(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const bool fromBottom = args.values[0] != 0;
  const int32_t k = W / 20;
  if (h <= 0) return RevealThroughRegion(frame, nullptr);  // Old alone
  const int32_t a = MulDiv(k, percent, 100);
  const int32_t b = MulDiv(h, percent, 100);
  ComplexRegion rgn;
  if (k > 0) {
    rgn.Reserve(StepCount(-k, W, 3 * k) + StepCount(0, H, h));
    for (int32_t x = -k; x < W; x += 3 * k) rgn.AddRect(x - a, 0, x + a, H);
  }
  if (fromBottom) {
    for (int32_t y = H; y > 0; y -= h) rgn.AddRect(0, y - b, W, y);
  } else {
    for (int32_t y = 0; y < H; y += h) rgn.AddRect(0, y, W, y + b);
  }
  RevealCollected(frame, rgn);
}

std::span<const EffectRoutine> BandRoutines() {
  static constexpr EffectRoutine kRoutines[] = {
      RevealBars,
      RevealShred,
      RevealSpeckle,
      CrissCrossFromBottomLeftTopRight,
      RandomSquaresAppear,
      BlindVertically,
      BlindHorizontally,
      UnevenBlindFromLeft,
      UnevenBlindFromRight,
      UnevenBlindFromTop,
      UnevenBlindFromBottom,
      RectangularShred,
      RectanglesAcross,
      RectanglesDown,
  };
  return kRoutines;
}

}  // namespace vec
