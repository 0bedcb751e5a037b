#pragma once
// Effects that work on the 32-bit pixel block directly: the cross-fade, the zoom through
// enlarged pixels, the seeded dissolve and random bars, and the four pivots.

#include <cstddef>
#include <cstdint>

#include "transitions/Effect.h"

namespace vec {

EffectFn Fade, Pixelate, Dissolve, RandomBarsHorizontal, RandomBarsVertical;

// The pivots. Arguments {atRight, atBottom}: the corner the picture turns about, 0 or 1 on
// each axis. Given Old in the frame, they write Old's pixels beside the turned picture.
void Pivot(const EffectFrame& frame, const EffectArgs& args);

// Blends red, green and blue of each dst pixel toward the src pixel with weight alpha
// (0..256): d += (alpha * (s - d)) >> 8, arithmetic shift; alpha 256 gives s exactly. The
// fourth byte is kept. Vectorised as far as CurrentVectorLevel() allows (PixelKernels.h).
void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha);

// Draws New rotated by theta (radians) about the pivot (px, py), over Work, in 16.16 fixed
// point. Pixels whose source falls outside New keep Work's pixel.
void RotateImage(BottomUpBitmap& work, const BottomUpBitmap& newBmp, int32_t px, int32_t py,
                 double theta);

// Plain one-pixel-at-a-time versions the fast paths are held to.
namespace reference {
void BlendPixels(Pixel* dst, const Pixel* src, size_t count, int32_t alpha);
void Dissolve(BottomUpBitmap& work, const BottomUpBitmap& newBmp, int32_t W, int32_t H,
              int32_t percent);
void RotateImage(BottomUpBitmap& work, const BottomUpBitmap& newBmp, int32_t px, int32_t py,
                 double theta);
}  // namespace reference

}  // namespace vec
