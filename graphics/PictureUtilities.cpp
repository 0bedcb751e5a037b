
#include "graphics/PictureUtilities.h"

#include <pixman.h>

#include <algorithm>
#include <memory>

#include "graphics/Resample.h"

namespace vec {

namespace {

struct ImageDeleter {
  void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using Image = std::unique_ptr<pixman_image_t, ImageDeleter>;

}  // namespace

// The whole source resampled bilinearly to dst's size. The images are described as
// a8r8g8b8 and combined with the SRC operator, so every byte (alpha included) is
// interpolated on its own without premultiplication; edges repeat their pixels.
void StretchSmoothTo(const BlendBitmap& src, BlendBitmap& dst) {
  if (src.Empty() || dst.Empty()) return;
  // pixman does not write through a const image, but needs a non-const pointer.
  Image in(pixman_image_create_bits(PIXMAN_a8r8g8b8, src.Width(), src.Height(),
                                    const_cast<uint32_t*>(src.Bits()), src.Width() * 4));
  Image out(pixman_image_create_bits(PIXMAN_a8r8g8b8, dst.Width(), dst.Height(), dst.Bits(),
                                     dst.Width() * 4));
  if (!in || !out) return;
  pixman_transform_t t;
  pixman_transform_init_scale(
      &t, pixman_double_to_fixed(static_cast<double>(src.Width()) / dst.Width()),
      pixman_double_to_fixed(static_cast<double>(src.Height()) / dst.Height()));
  pixman_image_set_transform(in.get(), &t);
  pixman_image_set_filter(in.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(in.get(), PIXMAN_REPEAT_PAD);
  pixman_image_composite32(PIXMAN_OP_SRC, in.get(), nullptr, out.get(), 0, 0, 0, 0, 0, 0,
                           dst.Width(), dst.Height());
}

Pixel ShadeColor(Pixel c1, Pixel c2, int32_t percent) {
  Pixel out = c1 & 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    const int64_t a = (c1 >> shift) & 0xFF, b = (c2 >> shift) & 0xFF;
    const int64_t v = 255 - ((255 - a) * percent + (255 - b) * 100) / 100;
    out |= static_cast<Pixel>(std::clamp<int64_t>(v, 0, 255)) << shift;
  }
  return out;
}

void GrayOut(BlendBitmap& bmp) {
  Pixel* p = bmp.Bits();
  const size_t n = static_cast<size_t>(bmp.Width()) * static_cast<size_t>(bmp.Height());
  for (size_t i = 0; i < n; ++i) {
    const uint32_t v = (((p[i] >> 16) & 0xFF) + ((p[i] >> 8) & 0xFF) + (p[i] & 0xFF)) / 3;
    p[i] = (p[i] & 0xFF000000) | (v << 16) | (v << 8) | v;
  }
}

void StretchLanczos(const BlendBitmap& src, BlendBitmap& dst) {
  if (src.Empty() || dst.Empty()) return;
  const Rect window{0, 0, dst.Width(), dst.Height()};
  const ResampleKernel kernel = (src.Width() == dst.Width() && src.Height() == dst.Height())
                                    ? ResampleKernel::Nearest
                                    : ResampleKernel::Lanczos3;
  Resample(PixelView{src.Bits(), src.Width(), src.Height(), src.Width()},
           Rect{0, 0, src.Width(), src.Height()}, dst.Width(), dst.Height(), window, kernel,
           PixelTarget{dst.Bits(), dst.Width(), dst.Height(), dst.Width()});
}

}  // namespace vec
