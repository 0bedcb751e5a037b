#include "transitions/EffectStep.h"

#include <algorithm>

#include "graphics/Blit.h"
#include "transitions/BandEffects.h"
#include "transitions/BlendEffects.h"
#include "transitions/ShapeEffects.h"
#include "transitions/WipeEffects.h"

namespace vec {

bool WritesOldItself(EffectRoutine routine) {
  if (routine == Pivot) return true;
  for (const auto family : {BandRoutines(), ShapeRoutines(), WipeRoutinesWritingOld()})
    if (std::find(family.begin(), family.end(), routine) != family.end()) return true;
  return false;
}

void DrawEffectStep(const Effect* effect, BottomUpBitmap& work, const BottomUpBitmap& old,
                    const BottomUpBitmap& newBmp, int32_t percent) {
  work.SelectClipRgn(nullptr);
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  const bool sameSize = old.Width() == W && old.Height() == H;
  if (effect != nullptr && sameSize && newBmp.Width() == W && newBmp.Height() == H &&
      WritesOldItself(effect->routine)) {
    effect->Draw(EffectFrame{work, newBmp, W, H, e.w, e.h, percent, &old});
    return;
  }
  const EffectFrame frame{work, newBmp, W, H, e.w, e.h, percent};
  if (sameSize)
    std::copy_n(old.Bits(), old.PixelCount(), work.Bits());  // nothing for an empty screen
  else
    Draw(work, 0, 0, old);
  if (effect != nullptr) effect->Draw(frame);
}

}  // namespace vec
