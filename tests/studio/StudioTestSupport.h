#pragma once
// Pictures for the studio's tests: a small photo with texture and a picture file made from
// it with our own picture writer, and the mask pixels as a set to compare with hand-worked
// ones.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Jpeg.h"
#include "picture/AreaMask.h"
#include "picture/Mask.h"
#include "picture/PictureWriter.h"

namespace vec::studio::test {

inline BlendBitmap Photo(int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bmp.SetPixel(x, y,
                   MakePixel(static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                             static_cast<uint8_t>((x * 7 + y * 13) & 255)));
  return bmp;
}

// A picture file of w x h whose lower half is area 1 and whose wave sets all differ.
inline PictureFileContent SampleContent(int32_t w, int32_t h) {
  PictureFileContent c;
  c.Title = "Harbour";
  c.Author = "An author";
  c.pictureJpeg = EncodeJpeg(Photo(w, h), 90).value();
  c.previewJpeg = EncodeJpeg(Photo(16, 10), 80).value();
  AreaMask mask(w, h);
  for (int32_t y = h / 2; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) mask.Set(x, y, 1);
  c.maskValues = EncodeMask(mask);
  for (int k = 0; k < 4; ++k) {
    WaveSet& wave = c.waves[static_cast<size_t>(k)];
    wave.Amplitude = 3 + k;
    wave.Cycles = 4 + 2 * k;
    wave.PhaseStep = 10 + k;
    wave.Forward = k % 2;
    wave.Horizontal = 1;
    wave.Period = 360;
  }
  c.weather = {kWeatherSnow, 120, 10, 90, 20, 0};
  c.soundSlots[0] = {"surf.wav", 0, 0, 0};
  c.soundSlots[1] = {"gull.wav", 1, 5, 20};
  c.objects = "[Obj0]\r\nObjType=IMG\r\nFilename=bird.bmp\r\n";
  c.buildInfo = "[BuildScr],Sound=1";
  return c;
}

inline std::vector<uint8_t> SampleFile(int32_t w = 64, int32_t h = 40) {
  return WritePictureFile(SampleContent(w, h));
}

// The pixels of `area` in the mask, as (x, y) pairs.
inline std::set<std::pair<int32_t, int32_t>> PixelsOf(const AreaMask& mask, uint8_t area) {
  std::set<std::pair<int32_t, int32_t>> out;
  for (int32_t y = 0; y < mask.Height(); ++y)
    for (int32_t x = 0; x < mask.Width(); ++x)
      if (mask.At(x, y) == area) out.insert({x, y});
  return out;
}

// Every pixel of the rows top..bottom between columns left..right, both included.
inline std::set<std::pair<int32_t, int32_t>> Block(int32_t left, int32_t top, int32_t right,
                                                   int32_t bottom) {
  std::set<std::pair<int32_t, int32_t>> out;
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = left; x <= right; ++x) out.insert({x, y});
  return out;
}

// The pixels of an area-2 stroke of size 5 from (10, 10) to (50, 10), worked out by hand:
// the pixel centres within 2.5 of the segment. Rows 9 to 11 reach 2 columns beyond the
// ends (1 and 0 rows off: sqrt(6.25 - 1) = 2.29 and 2.5); rows 8 and 12 reach 1 column
// (sqrt(6.25 - 4) = 1.5). 3 x 45 + 2 x 43 = 221 pixels.
inline std::set<std::pair<int32_t, int32_t>> HandWorkedStroke() {
  auto out = Block(8, 9, 52, 11);
  for (const auto& p : Block(9, 8, 51, 8)) out.insert(p);
  for (const auto& p : Block(9, 12, 51, 12)) out.insert(p);
  return out;
}

}  // namespace vec::studio::test
