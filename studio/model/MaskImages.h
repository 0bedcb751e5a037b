#pragma once
// The area mask as pictures: a mask picture brought in from another program (each pixel
// taken as the nearest of the five mask colours), the mask written out in the area colours,
// and the see-through layer the studio draws over the photo.

#include <cstdint>

#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"
#include "picture/AreaMask.h"

namespace vec::studio {

// The mask value (0 no area, 1 to 4) whose colour is nearest to the pixel's in red, green
// and blue (squared distance; the lower value on a tie). A pixel less than half opaque is no
// area, so a mask painted on a transparent layer comes in as it looks.
uint8_t NearestAreaOf(Pixel pixel);

// A mask picture taken pixel by pixel by NearestAreaOf, then fitted to width x height (both
// above 0) by the rule the show fits masks with (pixels repeated or dropped).
AreaMask MaskFromPicture(const BlendBitmap& picture, int32_t width, int32_t height);

// The mask in the area colours, opaque (no area black).
BlendBitmap MaskPicture(const AreaMask& mask);

// The layer over the photo for the pixels of `rect`: premultiplied 0xAARRGGBB, each area
// in its colour, opaque, and no area fully transparent. `rows` points at the layer's pixel
// (0, 0), `stride` pixels a row; the layer has the mask's size.
void PaintMaskLayer(const AreaMask& mask, const Rect& rect, uint32_t* rows, int32_t stride);

}  // namespace vec::studio
