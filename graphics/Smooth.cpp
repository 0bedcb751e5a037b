// Bilinear resampling through pixman.

#include <pixman.h>

#include <memory>

#include "graphics/Bitmap32.h"

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
void StretchSmoothTo(const TBitmap32& src, TBitmap32& dst) {
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

}  // namespace vec
