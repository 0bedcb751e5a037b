#include "transitions/WipeEffects.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "graphics/Blit.h"
#include "graphics/Region.h"
#include "transitions/Shade.h"

namespace vec {
namespace {

// Depth of the cylinder shading on the roll of the unroll effects.
constexpr int32_t kRollShade = 48;

// cx x cy block of New at (sx, sy) to Work at (dx, dy).
void Copy(BottomUpBitmap& work, int32_t dx, int32_t dy, int32_t cx, int32_t cy,
          const BottomUpBitmap& src, int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0) return;
  BitBlt(work, dx, dy, cx, cy, src, sx, sy);
}

// New block (sx, sy, scx, scy) into the Work block (dx, dy, dcx, dcy); a negative dcx or dcy
// mirrors, the block then reaching back from dx (dy).
void Stretch(BottomUpBitmap& work, int32_t dx, int32_t dy, int32_t dcx, int32_t dcy,
             const BottomUpBitmap& src, int32_t sx, int32_t sy, int32_t scx, int32_t scy) {
  if (dcx == 0 || dcy == 0 || scx <= 0 || scy <= 0) return;
  StretchBlt(work, dx, dy, dcx, dcy, src, sx, sy, scx, scy);
}

// Clears Work's clip region when it goes out of scope, also when drawing fails.
class ClipGuard {
 public:
  explicit ClipGuard(BottomUpBitmap& bmp) : bmp_(bmp) {}
  ~ClipGuard() { bmp_.SelectClipRgn(nullptr); }
  ClipGuard(const ClipGuard&) = delete;
  ClipGuard& operator=(const ClipGuard&) = delete;

 private:
  BottomUpBitmap& bmp_;
};

// With Old in the frame (the routines of WipeRoutinesWritingOld): Old's pixels everywhere
// outside `drawn`, the blocks the routine then fills whole with New. Without it Work
// already holds Old. Empty blocks are ignored. Where the blocks cover less than two thirds
// of the frame, Old is copied whole: one block copy measured faster than the copy of the
// rest through a clip region there.
void OldOutside(const EffectFrame& frame, std::initializer_list<Rect> drawn) {
  if (frame.old == nullptr) return;
  std::vector<Rect> blocks;
  for (const Rect& r : drawn)
    if (!r.IsEmpty()) blocks.push_back(r);
  const Region inside = Region::FromRects(blocks);
  const int64_t covered = inside.PixelsWithin({0, 0, frame.W, frame.H});
  if (3 * covered < 2 * int64_t{frame.W} * frame.H) {
    std::copy_n(frame.old->Bits(), frame.old->PixelCount(), frame.work.Bits());
    return;
  }
  Region outside = Region::FromRect(0, 0, frame.W, frame.H);
  outside.Combine(inside, RegionOp::Diff);
  ClipGuard guard(frame.work);
  frame.work.SelectClipRgn(&outside);
  BitBlt(frame.work, 0, 0, frame.W, frame.H, *frame.old, 0, 0);
}

}  // namespace

int32_t RollWidth(int32_t side, int32_t extent) {
  int32_t r = side / 10;
  if (extent < r)
    r = extent;
  else if (side - extent < 2 * r)
    r = (side - extent) / 2;
  return r;
}

// --- Block families: one routine per kind, the row's arguments place it on each axis -----

namespace {

// Where a block of `extent` lies along an axis of length `side`.
struct Span {
  int32_t start, length;
};
Span BlockAlong(Placement placement, int32_t side, int32_t extent) {
  switch (placement) {
    case Placement::Near:
      return {0, extent};
    case Placement::Far:
      return {side - extent, extent};
    case Placement::Middle:
      return {(side - extent) / 2, extent};
    case Placement::Whole:
      break;
  }
  return {0, side};
}

// A stretch along one axis: destination start and length, source start and length.
struct StretchSpan {
  int32_t start, length, sourceStart, sourceLength;
};
// New's block of `extent` stretched over more than the screen, the part beyond it shrinking
// as the extent grows: anchored at the near edge, at the far edge, or both (Middle).
StretchSpan ShrinkingAlong(Placement placement, int32_t side, int32_t extent) {
  switch (placement) {
    case Placement::Near:
      return {0, 2 * side - extent, 0, extent};
    case Placement::Far:
      return {extent - side, 2 * side - extent, side - extent, extent};
    case Placement::Middle:
      return {extent - side, 3 * side - 2 * extent, (side - extent) / 2, extent};
    case Placement::Whole:
      break;
  }
  return {0, side, 0, side};
}

Placement XPlacement(const EffectArgs& args) {
  return static_cast<Placement>(args.values[0]);
}
Placement YPlacement(const EffectArgs& args) {
  return static_cast<Placement>(args.values[1]);
}

}  // namespace

void StretchIntoBlock(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const Span x = BlockAlong(XPlacement(args), W, w), y = BlockAlong(YPlacement(args), H, h);
  OldOutside(frame, {{x.start, y.start, x.start + x.length, y.start + y.length}});
  Stretch(work, x.start, y.start, x.length, y.length, nb, 0, 0, W, H);
}

void RevealBlock(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const Span x = BlockAlong(XPlacement(args), W, w), y = BlockAlong(YPlacement(args), H, h);
  OldOutside(frame, {{x.start, y.start, x.start + x.length, y.start + y.length}});
  Copy(work, x.start, y.start, x.length, y.length, nb, x.start, y.start);
}

void SlideIn(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  // Sliding in from the far edge, New's left (top) edge lies at the block's start; from the
  // near edge, its right (bottom) edge lies at the block's end.
  const auto offset = [](Placement placement, int32_t side, int32_t extent) {
    if (placement == Placement::Far) return side - extent;
    if (placement == Placement::Near) return extent - side;
    return 0;
  };
  const int32_t dx = offset(XPlacement(args), W, w), dy = offset(YPlacement(args), H, h);
  OldOutside(frame, {{dx, dy, dx + W, dy + H}});
  Copy(work, dx, dy, W, H, nb, 0, 0);
}

void ShrinkOntoScreen(const EffectFrame& frame, const EffectArgs& args) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const StretchSpan x = ShrinkingAlong(XPlacement(args), W, w);
  const StretchSpan y = ShrinkingAlong(YPlacement(args), H, h);
  if (x.sourceLength > 0 && y.sourceLength > 0)
    OldOutside(frame, {{x.start, y.start, x.start + x.length, y.start + y.length}});
  else
    OldOutside(frame, {});
  Stretch(work, x.start, y.start, x.length, y.length, nb, x.sourceStart, y.sourceStart,
          x.sourceLength, y.sourceLength);
}

// --- Horizontal ---------------------------------------------------------------------------

void RevealInFromSides(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2;
  OldOutside(frame, {{0, 0, hw, H}, {W - hw, 0, W, H}});
  Copy(work, 0, 0, hw, H, nb, 0, 0);
  Copy(work, W - hw, 0, hw, H, nb, W - hw, 0);
}

void ExpandInFromSides(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2, hW = W / 2;
  OldOutside(frame, {{0, 0, hw, H}, {W - hw, 0, W, H}});
  Stretch(work, 0, 0, hw, H, nb, 0, 0, hW, H);
  Stretch(work, W - hw, 0, hw, H, nb, hW, 0, hW, H);
}

void UnrollFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t r = RollWidth(W, w);
  // The roll's back: New columns [w + r, w + 2r) mirrored into [w, w + r).
  OldOutside(frame, {{0, 0, w + r, H}});
  Stretch(work, w + r - 1, 0, -r, H, nb, w + r, 0, r, H);
  Copy(work, 0, 0, w, H, nb, 0, 0);
  ShadeColumns(work, kRollShade, w, r);
}

void UnrollFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t r = RollWidth(W, w);
  const int32_t x = W - w;
  // The roll's back: New columns from x - 2r - 1 on, mirrored into [x - r, x), source column
  // x - 2r - 1 + k landing on x - 1 - k. When the roll fills all the room left of x that
  // first source column is -1, outside New: only the columns whose source lies inside New
  // are drawn, each where the mirror puts it, and Work keeps its pixels at x - 1.
  const int32_t sx = x - 2 * r - 1;
  const int32_t skip = sx < 0 ? -sx : 0;
  OldOutside(frame, {{x - r, 0, x - skip, H}, {x, 0, W, H}});
  if (r - skip > 0) Stretch(work, x - 1 - skip, 0, -(r - skip), H, nb, sx + skip, 0, r - skip, H);
  Copy(work, x, 0, w, H, nb, x, 0);
  ShadeColumns(work, kRollShade, x - r, r);
}

void BuildUpFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t s = std::min(W - w, W / 10);
  OldOutside(frame, {{0, 0, w, H}, {w, 0, s > 0 ? W : w, H}});
  Copy(work, 0, 0, w, H, nb, 0, 0);
  Stretch(work, w, 0, W - w, H, nb, w, 0, s, H);
}

void BuildUpFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t x = W - w;
  const int32_t s = std::max(x - W / 10, 0);
  OldOutside(frame, {{x, 0, W, H}, {x - s > 0 ? 0 : x, 0, x, H}});
  Copy(work, x, 0, w, H, nb, x, 0);
  Stretch(work, 0, 0, x, H, nb, s, 0, x - s, H);
}

// --- Vertical -----------------------------------------------------------------------------

void SlideInFromTopBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hh = h / 2;
  OldOutside(frame, {{0, 0, W, hh}, {0, H - hh, W, H}});
  Copy(work, 0, 0, W, hh, nb, 0, 0);
  Copy(work, 0, H - hh, W, hh, nb, 0, H - hh);
}

void ExpandInFromTopBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hh = h / 2, hH = H / 2;
  OldOutside(frame, {{0, 0, W, hh}, {0, H - hh, W, H}});
  Stretch(work, 0, 0, W, hh, nb, 0, 0, W, hH);
  Stretch(work, 0, H - hh, W, hh, nb, 0, hH, W, hH);
}

void UnrollFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t r = RollWidth(H, h);
  OldOutside(frame, {{0, 0, W, h + r}});
  Stretch(work, 0, h + r - 1, W, -r, nb, 0, h + r, W, r);
  Copy(work, 0, 0, W, h, nb, 0, 0);
  ShadeRows(work, kRollShade, h, r);
}

void UnrollFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t r = RollWidth(H, h);
  const int32_t y = H - h;
  // As UnrollFromRight, turned: rows whose source would lie above New are not drawn.
  const int32_t sy = y - 2 * r - 1;
  const int32_t skip = sy < 0 ? -sy : 0;
  OldOutside(frame, {{0, y - r, W, y - skip}, {0, y, W, H}});
  if (r - skip > 0) Stretch(work, 0, y - 1 - skip, W, -(r - skip), nb, 0, sy + skip, W, r - skip);
  Copy(work, 0, y, W, h, nb, 0, y);
  ShadeRows(work, kRollShade, y - r, r);
}

void ExpandGraduallyFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t s = std::min(H - h, H / 10);
  OldOutside(frame, {{0, 0, W, h}, {0, h, W, s > 0 ? H : h}});
  Copy(work, 0, 0, W, h, nb, 0, 0);
  Stretch(work, 0, h, W, H - h, nb, 0, h, W, s);
}

void ExpandInGraduallyFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t y = H - h;
  const int32_t s = std::max(y - H / 10, 0);
  OldOutside(frame, {{0, y, W, H}, {0, 0, W, y - s > 0 ? y : 0}});
  Copy(work, 0, y, W, h, nb, 0, y);
  Stretch(work, 0, 0, W, y, nb, 0, s, W, y - s);
}

// --- Corners and centre -------------------------------------------------------------------

void RevealInToCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2, hh = h / 2;
  OldOutside(frame, {{0, 0, W, hh}, {0, H - hh, W, H}, {0, 0, hw, H}, {W - hw, 0, W, H}});
  ClipGuard guard(work);
  work.ExcludeClipRect(hw, hh, W - hw, H - hh);
  Copy(work, 0, 0, W, H, nb, 0, 0);
}

void QuartersRevealInToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2, hh = h / 2;
  OldOutside(frame,
             {{0, 0, hw, hh}, {0, H - hh, hw, H}, {W - hw, H - hh, W, H}, {W - hw, 0, W, hh}});
  Copy(work, 0, 0, hw, hh, nb, 0, 0);
  Copy(work, 0, H - hh, hw, hh, nb, 0, H - hh);
  Copy(work, W - hw, H - hh, hw, hh, nb, W - hw, H - hh);
  Copy(work, W - hw, 0, hw, hh, nb, W - hw, 0);
}

void QuartersExpandToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
  OldOutside(frame,
             {{0, 0, hw, hh}, {0, H - hh, hw, H}, {W - hw, H - hh, W, H}, {W - hw, 0, W, hh}});
  Stretch(work, 0, 0, hw, hh, nb, 0, 0, hW, hH);
  Stretch(work, 0, H - hh, hw, hh, nb, 0, hH, hW, hH);
  Stretch(work, W - hw, H - hh, hw, hh, nb, hW, hH, hW, hH);
  Stretch(work, W - hw, 0, hw, hh, nb, hW, 0, hW, hH);
}

void QuartersSlideInToMiddle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
  OldOutside(frame, {{hw - hW, 0, hw, hH},
                     {hW, hh - hH, 2 * hW, hh},
                     {W - hw, hH, W - hw + hW, 2 * hH},
                     {0, H - hh, hW, H - hh + hH}});
  Copy(work, hw - hW, 0, hW, hH, nb, 0, 0);
  Copy(work, hW, hh - hH, hW, hH, nb, hW, 0);
  Copy(work, W - hw, hH, hW, hH, nb, hW, hH);
  Copy(work, 0, H - hh, hW, hH, nb, 0, hH);
}

// --- Pushes: Old's pixels move aside -------------------------------------------------------
// Old is read from the frame when it names it; otherwise Work holds Old and the copies
// overlap their source, which the blits treat as a copy through a temporary bitmap.

namespace {
const BottomUpBitmap& OldPixels(const EffectFrame& frame) {
  return frame.old != nullptr ? *frame.old : frame.work;
}
}  // namespace

void PushRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Copy(work, w, 0, W - w, H, OldPixels(frame), 0, 0);
  Copy(work, 0, 0, w, H, nb, W - w, 0);
}

void PushLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Copy(work, 0, 0, W - w, H, OldPixels(frame), w, 0);
  Copy(work, W - w, 0, w, H, nb, 0, 0);
}

void PushAndSqueezeRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Stretch(work, w, 0, W - w, H, OldPixels(frame), 0, 0, W, H);
  Copy(work, 0, 0, w, H, nb, W - w, 0);
}

void PushAndSqueezeLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Stretch(work, 0, 0, W - w, H, OldPixels(frame), 0, 0, W, H);
  Copy(work, W - w, 0, w, H, nb, 0, 0);
}

void PushDown(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Copy(work, 0, h, W, H - h, OldPixels(frame), 0, 0);
  Copy(work, 0, 0, W, h, nb, 0, H - h);
}

void PushUp(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Copy(work, 0, 0, W, H - h, OldPixels(frame), 0, h);
  Copy(work, 0, H - h, W, h, nb, 0, 0);
}

void PushAndSqueezeDown(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Stretch(work, 0, h, W, H - h, OldPixels(frame), 0, 0, W, H);
  Copy(work, 0, 0, W, h, nb, 0, H - h);
}

void PushAndSqueezeUp(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, nb, W, H, w, h, percent, old] = frame;
  Stretch(work, 0, 0, W, H - h, OldPixels(frame), 0, 0, W, H);
  Copy(work, 0, H - h, W, h, nb, 0, 0);
}

std::span<const EffectRoutine> WipeRoutinesWritingOld() {
  static constexpr EffectRoutine kRoutines[] = {StretchIntoBlock,
                                                RevealBlock,
                                                SlideIn,
                                                ShrinkOntoScreen,
                                                RevealInFromSides,
                                                ExpandInFromSides,
                                                UnrollFromLeft,
                                                UnrollFromRight,
                                                BuildUpFromRight,
                                                BuildUpFromLeft,
                                                SlideInFromTopBottom,
                                                ExpandInFromTopBottom,
                                                UnrollFromTop,
                                                UnrollFromBottom,
                                                ExpandGraduallyFromBottom,
                                                ExpandInGraduallyFromTop,
                                                RevealInToCentre,
                                                QuartersRevealInToMiddle,
                                                QuartersExpandToMiddle,
                                                QuartersSlideInToMiddle,
                                                PushRight,
                                                PushLeft,
                                                PushAndSqueezeRight,
                                                PushAndSqueezeLeft,
                                                PushDown,
                                                PushUp,
                                                PushAndSqueezeDown,
                                                PushAndSqueezeUp};
  return kRoutines;
}

}  // namespace vec
