#include "transitions/EffectStep.h"

#include <algorithm>

#include "graphics/Blit.h"

namespace vec {

void DrawEffectStep(const Effect* effect, Bitmap& work, const Bitmap& old, const Bitmap& newBmp,
                    int32_t percent) {
  work.SelectClipRgn(nullptr);
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  const EffectFrame frame{work, newBmp, W, H, e.w, e.h, percent};
  const bool sameSize = old.Width() == W && old.Height() == H;
  if (effect != nullptr && effect->overOld != nullptr && sameSize && newBmp.Width() == W &&
      newBmp.Height() == H) {
    effect->overOld(frame, old, effect->args);
    return;
  }
  if (sameSize)
    std::copy_n(old.Bits(), old.PixelCount(), work.Bits());  // nothing for an empty screen
  else
    Draw(work, 0, 0, old);
  if (effect != nullptr) effect->Draw(frame);
}

}  // namespace vec
