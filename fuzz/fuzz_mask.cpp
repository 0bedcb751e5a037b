// Mask run codes: the input is the 32-bit values (width, height, codes). The decoder that
// fits the mask to a picture's size takes any declared size (its memory follows the
// picture). Every output pixel must hold the value of the declared mask's pixel that a
// stretch would put there, found here by looking the position up in the runs, so any
// declared size up to the largest is checked in time proportional to the codes. Where the
// declared size is small, the fitted mask must also agree with decoding at that size and
// stretching, decoding at that size must survive a round trip through the encoder, and
// fitting the decoded mask to a wider and a narrower size must give what the stretch of
// its area colours gives (all hold the whole declared mask, so they are kept to sizes that
// decode in microseconds).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/Blit.h"
#include "graphics/ImageFile.h"
#include "picture/Mask.h"
#include "picture/Picture.h"

namespace {

constexpr int32_t kPictureW = 37, kPictureH = 23;
constexpr int64_t kWholeMaskPixels = int64_t{1} << 14;

bool DeclaredSizeValid(const std::vector<int32_t>& values) {
  if (values.size() < 2) return true;
  return values[0] >= 0 && values[1] >= 0 && values[0] <= vec::kMaxImageDimension &&
         values[1] <= vec::kMaxImageDimension;
}

// The fitted mask worked out pixel by pixel from the run list, without decoding the mask.
vec::AreaMask PointSampled(const std::vector<int32_t>& values) {
  vec::AreaMask out(kPictureW, kPictureH);
  if (values.size() < 2 || values[0] == 0 || values[1] == 0) return out;
  const int64_t mw = values[0], mh = values[1], total = mw * mh;
  // Start of every positive run, in mask positions, with its code.
  std::vector<int64_t> starts;
  std::vector<int32_t> codes;
  int64_t pos = 0;
  for (size_t i = 2; i < values.size() && pos < total; ++i) {
    if (values[i] / 10 <= 0) continue;
    starts.push_back(pos);
    codes.push_back(values[i]);
    pos += values[i] / 10;
  }
  const int64_t covered = std::min(pos, total);
  for (int32_t y = 0; y < kPictureH; ++y) {
    const int64_t row = vec::StretchSourceIndex(mh, kPictureH, y, false);
    for (int32_t x = 0; x < kPictureW; ++x) {
      const int64_t at = row * mw + vec::StretchSourceIndex(mw, kPictureW, x, true);
      if (at >= covered) continue;
      const auto run = std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1;
      const int32_t index = codes[static_cast<size_t>(run)] % 10;
      if (index >= 1 && index <= 4) out.Set(x, y, static_cast<uint8_t>(index));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int32_t> values(size / 4);
  if (!values.empty()) std::memcpy(values.data(), data, values.size() * 4);
  vec::AreaMask fitted;
  const bool fits = vec::DecodeMaskFitted(values, kPictureW, kPictureH, fitted).ok();
  if (fits != DeclaredSizeValid(values)) __builtin_trap();
  vec::AreaMask mask;
  if (!fits) {
    // A size it refuses is refused before anything is allocated.
    if (vec::DecodeMask(values, mask).ok()) __builtin_trap();
    return 0;
  }
  if (!(PointSampled(values) == fitted)) __builtin_trap();

  if (values.size() >= 2 && int64_t{values[0]} * values[1] > kWholeMaskPixels) return 0;
  if (!vec::DecodeMask(values, mask).ok()) __builtin_trap();
  const auto codes = vec::EncodeMask(mask);
  vec::AreaMask again;
  if (!vec::DecodeMask(codes, again).ok() || !(again == mask)) __builtin_trap();
  // The mask in its area colours, stretched onto W x H and read back as indices.
  const auto stretched = [&mask](int32_t W, int32_t H) {
    vec::BottomUpBitmap out(W, H);
    if (!mask.Empty())
      vec::StretchBlt(out, 0, 0, W, H, vec::AreaColorsOf(mask), 0, 0, mask.Width(), mask.Height());
    return vec::AreaMaskFromColors(out);
  };
  if (!(stretched(kPictureW, kPictureH) == fitted)) __builtin_trap();
  if (mask.Empty()) return 0;
  for (const int32_t W : {mask.Width() * 3 / 2 + 1, mask.Width() * 2 / 3 + 1}) {
    vec::AreaMask refitted;
    vec::FitMask(mask, W, 3, refitted);
    if (!(stretched(W, 3) == refitted)) __builtin_trap();
  }
  return 0;
}
