// JPEG decoding from memory; images above about four million pixels are only measured.
#include <cstddef>
#include <cstdint>

#include "graphics/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto info = vec::ReadJpegInfo(data, size);
  if (!info || int64_t{info->width} * info->height > (int64_t{1} << 22)) return 0;
  vec::BottomUpBitmap bmp;
  (void)vec::DecodeJpeg(data, size, bmp);
  return 0;
}
