#pragma once
// Builds picture files byte by byte, straight from the file layout, independent of the
// writer under test.

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Jpeg.h"

namespace vec::test {

class Bytes {
 public:
  Bytes& Raw(std::string_view s) {
    data.insert(data.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Raw(const std::vector<uint8_t>& v) {
    data.insert(data.end(), v.begin(), v.end());
    return *this;
  }
  Bytes& U8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& I32(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Bytes& Str(std::string_view s) { return I32(static_cast<int32_t>(s.size())).Raw(s); }
  Bytes& Blob(const std::vector<uint8_t>& v) { return I32(static_cast<int32_t>(v.size())).Raw(v); }
  Bytes& Zeros(size_t n) {
    data.insert(data.end(), n, 0);
    return *this;
  }
  std::vector<uint8_t> data;
};

// A JPEG of w x h: left half red, right half blue (so orientation and size are visible).
inline std::vector<uint8_t> MakeJpeg(int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bmp.SetPixel(x, y, x < w / 2 ? MakePixel(255, 0, 0) : MakePixel(0, 0, 255));
  return EncodeJpeg(bmp, 90).value();
}

struct WaveBytes {
  int32_t amplitude, cycles, phaseStep, forward;
  uint8_t horizontal, vertical, perspective;
  int32_t period, scatter;
  uint8_t mirror;
};

inline void AppendWave(Bytes& b, const WaveBytes& w) {
  b.I32(w.amplitude).I32(w.cycles).I32(w.phaseStep).I32(w.forward);
  b.U8(w.horizontal).U8(w.vertical).U8(w.perspective).U8(0);
  b.I32(w.period).I32(w.scatter);
  b.U8(0).U8(w.mirror).U8(0).U8(0);
}

inline void AppendSlot(Bytes& b, std::string_view name, int32_t mode, int32_t lo, int32_t hi) {
  b.U8(static_cast<uint8_t>(name.size())).Raw(name).Zeros(255 - name.size());
  b.I32(mode).I32(lo).I32(hi);
}

// Items 1 to 9 of a small, valid file: 8 x 4 picture, 4 x 2 preview, a mask of 2 + 3 codes.
struct SampleFile {
  std::vector<uint8_t> preview = MakeJpeg(4, 2);
  std::vector<uint8_t> picture = MakeJpeg(8, 4);
  std::string singleSound;
  std::vector<int32_t> weather{1, 300, 12, 80, 15, 0};

  Bytes Head() const {
    Bytes b;
    b.Raw("VE060697").Str("Harbour").Str("A. Painter").Blob(preview);
    b.I32(4);
    for (int k = 0; k < 4; ++k)
      AppendWave(b, {10 + k, 3, 5, 1, 1, 0, uint8_t(k == 2), 360, k, uint8_t(k == 3)});
    // 8 x 4 mask: 8 pixels no area, 16 of area 1, 8 of area 4.
    b.I32(5).I32(8).I32(4).I32(80).I32(161).I32(84);
    b.Blob(picture).Str(singleSound);
    for (int32_t v : weather) b.I32(v);
    return b;
  }
};

}  // namespace vec::test
