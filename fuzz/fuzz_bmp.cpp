// BMP decoding from memory. Run-length data may leave most of the picture unwritten, so a
// few bytes can declare a picture of many megabytes, which is allocated, cleared and encoded
// again: declared sizes above 512 x 512 pixels are skipped to keep runs at microseconds (the
// decoding does the same for every row and column, so larger sizes find nothing new).
#include <cstddef>
#include <cstdint>

#include "graphics/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 26) {
    const int64_t w = int32_t(data[18] | data[19] << 8 | data[20] << 16 | uint32_t(data[21]) << 24);
    const int64_t h = int32_t(data[22] | data[23] << 8 | data[24] << 16 | uint32_t(data[25]) << 24);
    if (w * (h < 0 ? -h : h) > (int64_t{1} << 18)) return 0;
  }
  auto bmp = vec::DecodeBmp(data, size);
  if (bmp) vec::EncodeBmp32(bmp.value());
  return 0;
}
