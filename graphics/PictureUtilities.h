#pragma once
// Small picture utilities used by the controls, the tools and the object loader: colour
// shading, whole-picture resampling and greying out.

#include <cstdint>

#include "graphics/BlendBitmap.h"

namespace vec {

// c1 moved towards c2 by percent (0: c1, 100: c2), per channel.
Pixel ShadeColor(Pixel c1, Pixel c2, int32_t percent);
// The whole of src resampled bilinearly to exactly dst's size (the aspect is not kept).
void StretchSmoothTo(const BlendBitmap& src, BlendBitmap& dst);
void GrayOut(BlendBitmap& bmp);
// The whole of src resampled with a Lanczos3 kernel to dst's size.
void StretchLanczos(const BlendBitmap& src, BlendBitmap& dst);

}  // namespace vec
