// Mask run codes: the input is the 32-bit values (width, height, codes). The decoder that
// fits the mask to a picture's size takes any declared size (its memory follows the
// picture); where the declared size is small it must agree with decoding at that size and
// stretching, and decoding at that size must survive a round trip through the encoder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/Blit.h"
#include "picture/Mask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int32_t> values(size / 4);
  if (!values.empty()) std::memcpy(values.data(), data, values.size() * 4);
  constexpr int32_t kPictureW = 37, kPictureH = 23;
  vec::Bitmap fitted;
  const bool fits = vec::DecodeMaskFitted(values, kPictureW, kPictureH, fitted).ok();
  if (values.size() >= 2 && int64_t{values[0]} * values[1] > (int64_t{1} << 22)) return 0;
  vec::Bitmap mask;
  if (vec::DecodeMask(values, mask).ok() != fits) __builtin_trap();
  if (!fits) return 0;
  const auto codes = vec::EncodeMask(mask);
  vec::Bitmap again;
  if (!vec::DecodeMask(codes, again).ok() || !(again == mask)) __builtin_trap();
  vec::Bitmap stretched(kPictureW, kPictureH);
  if (!mask.Empty())
    vec::StretchBlt(stretched, 0, 0, kPictureW, kPictureH, mask, 0, 0, mask.Width(), mask.Height());
  if (!(stretched == fitted)) __builtin_trap();
  return 0;
}
