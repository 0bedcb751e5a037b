// Mask run codes: the input is the 32-bit values (width, height, codes). Sizes are kept
// small so that each run stays fast; the decoder itself accepts up to 16384 x 16384.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "picture/Mask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int32_t> values(size / 4);
  if (!values.empty()) std::memcpy(values.data(), data, values.size() * 4);
  if (values.size() >= 2 && int64_t{values[0]} * values[1] > (int64_t{1} << 22)) return 0;
  vec::Bitmap mask;
  if (vec::DecodeMask(values, mask).ok()) {
    const auto codes = vec::EncodeMask(mask);
    vec::Bitmap again;
    if (!vec::DecodeMask(codes, again).ok() || !(again == mask)) __builtin_trap();
  }
  return 0;
}
