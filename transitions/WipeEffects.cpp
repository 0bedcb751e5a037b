#include "transitions/WipeEffects.h"

#include <algorithm>

#include "graphics/Blit.h"
#include "transitions/Shade.h"

namespace vec {
namespace {

// Depth of the cylinder shading on the roll of the unroll effects.
constexpr int32_t kRollShade = 48;

// cx x cy block of New at (sx, sy) to Work at (dx, dy).
void Copy(Bitmap& work, int32_t dx, int32_t dy, int32_t cx, int32_t cy, const Bitmap& src,
          int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0) return;
  BitBlt(work, dx, dy, cx, cy, src, sx, sy);
}

// New block (sx, sy, scx, scy) into the Work block (dx, dy, dcx, dcy); a negative dcx or dcy
// mirrors, the block then reaching back from dx (dy).
void Stretch(Bitmap& work, int32_t dx, int32_t dy, int32_t dcx, int32_t dcy, const Bitmap& src,
             int32_t sx, int32_t sy, int32_t scx, int32_t scy) {
  if (dcx == 0 || dcy == 0 || scx <= 0 || scy <= 0) return;
  StretchBlt(work, dx, dy, dcx, dcy, src, sx, sy, scx, scy);
}

// Clears Work's clip region when it goes out of scope, also when drawing fails.
class ClipGuard {
 public:
  explicit ClipGuard(Bitmap& bmp) : bmp_(bmp) {}
  ~ClipGuard() { bmp_.SelectClipRgn(nullptr); }
  ClipGuard(const ClipGuard&) = delete;
  ClipGuard& operator=(const ClipGuard&) = delete;

 private:
  Bitmap& bmp_;
};

}  // namespace

int32_t RollWidth(int32_t side, int32_t extent) {
  int32_t r = side / 10;
  if (extent < r)
    r = extent;
  else if (side - extent < 2 * r)
    r = (side - extent) / 2;
  return r;
}

// --- Horizontal ---------------------------------------------------------------------------

void ExpandFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, W - w, 0, w, H, nb, 0, 0, W, H);
}

void ExpandFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, w, H, nb, 0, 0, W, H);
}

void SlideInFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, 0, W, H, nb, 0, 0);
}

void SlideInFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, w - W, 0, W, H, nb, 0, 0);
}

void RevealFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, w, H, nb, 0, 0);
}

void RevealFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, 0, w, H, nb, W - w, 0);
}

void ExpandInFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, 2 * W - w, H, nb, 0, 0, w, H);
}

void ExpandInFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w - W, 0, 2 * W - w, H, nb, W - w, 0, w, H);
}

void ExpandInToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w - W, 0, 3 * W - 2 * w, H, nb, (W - w) / 2, 0, w, H);
}

void ExpandOutFromMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, (W - w) / 2, 0, w, H, nb, 0, 0, W, H);
}

void RevealOutFromMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t x = (W - w) / 2;
  Copy(work, x, 0, w, H, nb, x, 0);
}

void RevealInFromSides(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2;
  Copy(work, 0, 0, hw, H, nb, 0, 0);
  Copy(work, W - hw, 0, hw, H, nb, W - hw, 0);
}

void ExpandInFromSides(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2, hW = W / 2;
  Stretch(work, 0, 0, hw, H, nb, 0, 0, hW, H);
  Stretch(work, W - hw, 0, hw, H, nb, hW, 0, hW, H);
}

void UnrollFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t r = RollWidth(W, w);
  // The roll's back: New columns [w + r, w + 2r) mirrored into [w, w + r).
  Stretch(work, w + r - 1, 0, -r, H, nb, w + r, 0, r, H);
  Copy(work, 0, 0, w, H, nb, 0, 0);
  ShadeColumns(work, kRollShade, w, r);
}

void UnrollFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t r = RollWidth(W, w);
  const int32_t x = W - w;
  // The roll's back: New columns from x - 2r - 1 on, mirrored into [x - r, x), source column
  // x - 2r - 1 + k landing on x - 1 - k. When the roll fills all the room left of x that
  // first source column is -1, outside New: only the columns whose source lies inside New
  // are drawn, each where the mirror puts it, and Work keeps its pixels at x - 1.
  const int32_t sx = x - 2 * r - 1;
  const int32_t skip = sx < 0 ? -sx : 0;
  if (r - skip > 0) Stretch(work, x - 1 - skip, 0, -(r - skip), H, nb, sx + skip, 0, r - skip, H);
  Copy(work, x, 0, w, H, nb, x, 0);
  ShadeColumns(work, kRollShade, x - r, r);
}

void BuildUpFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, w, H, nb, 0, 0);
  const int32_t s = std::min(W - w, W / 10);
  Stretch(work, w, 0, W - w, H, nb, w, 0, s, H);
}

void BuildUpFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t x = W - w;
  Copy(work, x, 0, w, H, nb, x, 0);
  const int32_t s = std::max(x - W / 10, 0);
  Stretch(work, 0, 0, x, H, nb, s, 0, x - s, H);
}

// --- Vertical -----------------------------------------------------------------------------

void ExpandFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, H - h, W, h, nb, 0, 0, W, H);
}

void ExpandFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, W, h, nb, 0, 0, W, H);
}

void SlideInFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, H - h, W, H, nb, 0, 0);
}

void SlideInFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, h - H, W, H, nb, 0, 0);
}

void RevealFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, W, h, nb, 0, 0);
}

void RevealFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, H - h, W, h, nb, 0, H - h);
}

void ExpandInFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, W, 2 * H - h, nb, 0, 0, W, h);
}

void ExpandInFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, h - H, W, 2 * H - h, nb, 0, H - h, W, h);
}

void ExpandInToMiddleHoriz(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, h - H, W, 3 * H - 2 * h, nb, 0, (H - h) / 2, W, h);
}

void ExpandOutFromMiddleHoriz(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, (H - h) / 2, W, h, nb, 0, 0, W, H);
}

void RevealFromMiddleHoriz(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t y = (H - h) / 2;
  Copy(work, 0, y, W, h, nb, 0, y);
}

void SlideInFromTopBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hh = h / 2;
  Copy(work, 0, 0, W, hh, nb, 0, 0);
  Copy(work, 0, H - hh, W, hh, nb, 0, H - hh);
}

void ExpandInFromTopBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hh = h / 2, hH = H / 2;
  Stretch(work, 0, 0, W, hh, nb, 0, 0, W, hH);
  Stretch(work, 0, H - hh, W, hh, nb, 0, hH, W, hH);
}

void UnrollFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t r = RollWidth(H, h);
  Stretch(work, 0, h + r - 1, W, -r, nb, 0, h + r, W, r);
  Copy(work, 0, 0, W, h, nb, 0, 0);
  ShadeRows(work, kRollShade, h, r);
}

void UnrollFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t r = RollWidth(H, h);
  const int32_t y = H - h;
  // As UnrollFromRight, turned: rows whose source would lie above New are not drawn.
  const int32_t sy = y - 2 * r - 1;
  const int32_t skip = sy < 0 ? -sy : 0;
  if (r - skip > 0) Stretch(work, 0, y - 1 - skip, W, -(r - skip), nb, 0, sy + skip, W, r - skip);
  Copy(work, 0, y, W, h, nb, 0, y);
  ShadeRows(work, kRollShade, y - r, r);
}

void ExpandGraduallyFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, W, h, nb, 0, 0);
  const int32_t s = std::min(H - h, H / 10);
  Stretch(work, 0, h, W, H - h, nb, 0, h, W, s);
}

void ExpandInGraduallyFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t y = H - h;
  Copy(work, 0, y, W, h, nb, 0, y);
  const int32_t s = std::max(y - H / 10, 0);
  Stretch(work, 0, 0, W, y, nb, 0, s, W, y - s);
}

// --- Corners and centre -------------------------------------------------------------------

void ExpandFromBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, W - w, H - h, w, h, nb, 0, 0, W, H);
}

void ExpandFromTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, W - w, 0, w, h, nb, 0, 0, W, H);
}

void ExpandFromTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, w, h, nb, 0, 0, W, H);
}

void ExpandFromBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, H - h, w, h, nb, 0, 0, W, H);
}

void SlideInFromBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, H - h, W, H, nb, 0, 0);
}

void SlideInFromTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, h - H, W, H, nb, 0, 0);
}

void SlideInFromTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, w - W, h - H, W, H, nb, 0, 0);
}

void SlideInFromBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, w - W, H - h, W, H, nb, 0, 0);
}

void RevealFromTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, w, h, nb, 0, 0);
}

void RevealFromBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, H - h, w, h, nb, 0, H - h);
}

void RevealFromBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, H - h, w, h, nb, W - w, H - h);
}

void RevealFromTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, W - w, 0, w, h, nb, W - w, 0);
}

void AppearAndContractToTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, 2 * W - w, 2 * H - h, nb, 0, 0, w, h);
}

void AppearAndContractToBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, h - H, 2 * W - w, 2 * H - h, nb, 0, H - h, w, h);
}

void AppearAndContractToBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w - W, h - H, 2 * W - w, 2 * H - h, nb, W - w, H - h, w, h);
}

void AppearAndContractToTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w - W, 0, 2 * W - w, 2 * H - h, nb, W - w, 0, w, h);
}

void AppearAndContractToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w - W, h - H, 3 * W - 2 * w, 3 * H - 2 * h, nb, (W - w) / 2, (H - h) / 2, w, h);
}

void ExpandOutFromCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, (W - w) / 2, (H - h) / 2, w, h, nb, 0, 0, W, H);
}

void RevealOutFromCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t x = (W - w) / 2, y = (H - h) / 2;
  Copy(work, x, y, w, h, nb, x, y);
}

void RevealInToCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2, hh = h / 2;
  ClipGuard guard(work);
  work.ExcludeClipRect(hw, hh, W - hw, H - hh);
  Copy(work, 0, 0, W, H, nb, 0, 0);
}

void QuartersRevealInToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2, hh = h / 2;
  Copy(work, 0, 0, hw, hh, nb, 0, 0);
  Copy(work, 0, H - hh, hw, hh, nb, 0, H - hh);
  Copy(work, W - hw, H - hh, hw, hh, nb, W - hw, H - hh);
  Copy(work, W - hw, 0, hw, hh, nb, W - hw, 0);
}

void QuartersExpandToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
  Stretch(work, 0, 0, hw, hh, nb, 0, 0, hW, hH);
  Stretch(work, 0, H - hh, hw, hh, nb, 0, hH, hW, hH);
  Stretch(work, W - hw, H - hh, hw, hh, nb, hW, hH, hW, hH);
  Stretch(work, W - hw, 0, hw, hh, nb, hW, 0, hW, hH);
}

void QuartersSlideInToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
  Copy(work, hw - hW, 0, hW, hH, nb, 0, 0);
  Copy(work, hW, hh - hH, hW, hH, nb, hW, 0);
  Copy(work, W - hw, hH, hW, hH, nb, hW, hH);
  Copy(work, 0, H - hh, hW, hH, nb, 0, hH);
}

// --- Pushes: Work's own old pixels move aside ---------------------------------------------
// The self-copies overlap their source; the blits treat a copy within one bitmap as a copy
// through a temporary bitmap.

void PushRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, w, 0, W - w, H, work, 0, 0);
  Copy(work, 0, 0, w, H, nb, W - w, 0);
}

void PushLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, W - w, H, work, w, 0);
  Copy(work, W - w, 0, w, H, nb, 0, 0);
}

void PushAndSqueezeRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, w, 0, W - w, H, work, 0, 0, W, H);
  Copy(work, 0, 0, w, H, nb, W - w, 0);
}

void PushAndSqueezeLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, W - w, H, work, 0, 0, W, H);
  Copy(work, W - w, 0, w, H, nb, 0, 0);
}

void PushDown(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, h, W, H - h, work, 0, 0);
  Copy(work, 0, 0, W, h, nb, 0, H - h);
}

void PushUp(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Copy(work, 0, 0, W, H - h, work, 0, h);
  Copy(work, 0, H - h, W, h, nb, 0, 0);
}

void PushAndSqueezeDown(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, h, W, H - h, work, 0, 0, W, H);
  Copy(work, 0, 0, W, h, nb, 0, H - h);
}

void PushAndSqueezeUp(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent] = frame;
  Stretch(work, 0, 0, W, H - h, work, 0, 0, W, H);
  Copy(work, 0, H - h, W, h, nb, 0, 0);
}

}  // namespace vec
