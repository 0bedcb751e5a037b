#pragma once
// Pictures for the start-up benchmarks: textured scenes, so that their JPEG data has a
// realistic size, and picture files of water under rain like the demo's.

#include <cstdint>
#include <string>
#include <vector>

#include "bench/BenchNoise.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/Jpeg.h"
#include "picture/Mask.h"
#include "picture/PictureWriter.h"

namespace vec::bench {

// A scene with some texture, so the JPEG data has a realistic size.
inline BlendBitmap Scene(int32_t w, int32_t h, uint32_t seed) {
  BlendBitmap bmp(w, h);
  BenchNoise noiseSource(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int noise = static_cast<int>(noiseSource.Next() >> 27);
      bmp.SetPixel(x, y,
                   MakePixel(static_cast<uint8_t>((x * 255 / w + noise) & 255),
                             static_cast<uint8_t>((y * 255 / h + noise) & 255),
                             static_cast<uint8_t>(((x ^ y) + noise) & 255)));
    }
  return bmp;
}

// A wave moving forward over the whole water area, both ways and in perspective.
inline WaveSet RollingWave(int32_t amplitude, int32_t cycles) {
  WaveSet wave;
  wave.Amplitude = amplitude;
  wave.Cycles = cycles;
  wave.PhaseStep = 8;
  wave.Forward = 1;
  wave.Horizontal = 1;
  wave.Vertical = 1;
  wave.Perspective = 1;
  wave.Period = 360;
  return wave;
}

// A picture file of water in the lower half under rain, like the demo's.
inline std::string WaterPictureFile(int32_t w, int32_t h, uint32_t seed, int quality) {
  const BlendBitmap scene = Scene(w, h, seed);
  AreaMask mask(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) mask.Set(x, y, y >= h / 2 ? 1 : 0);
  PictureFileContent c;
  c.Title = "Bench";
  c.Author = "bench";
  c.pictureJpeg = EncodeJpeg(scene, quality).value();
  c.previewJpeg = EncodeJpeg(Scene(160, 90, seed), 80).value();
  c.maskValues = EncodeMask(mask);
  c.waves[0] = RollingWave(8, 40);
  c.weather = {kWeatherRain, 260, 12, 80, 25, 6};
  const std::vector<uint8_t> bytes = WritePictureFile(c);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace vec::bench
