// Paints the demo saver's pictures and synthesises its sounds, so the demo needs no file
// from anyone else: skies, hills, a lake, the sea and a waterfall with their water masks,
// a bird and an animated boat for the objects, three plain JPEG stills, a preview, two
// sound effects and a short piece of music. Every picture of the show is 1280 x 720, so a
// still made the desktop's wallpaper fills a screen; the stills are JPEGs of modest
// quality to keep the package small.
//
// usage: demo_art OUTDIR

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/Jpeg.h"
#include "graphics/PictureUtilities.h"
#include "picture/Picture.h"

namespace {

using vec::BlendBitmap;
using vec::MakePixel;
using vec::Pixel;

constexpr int32_t kW = 1280, kH = 720;
constexpr double kPi = std::numbers::pi;

struct Rgb {
  double r, g, b;
};
Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Pixel ToPixel(Rgb c) {
  auto ch = [](double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); };
  return MakePixel(ch(c.r), ch(c.g), ch(c.b));
}

// Smooth value noise in 0..1, the same for every run.
double Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}
double Noise(double x, double y, uint32_t seed) {
  const int32_t xi = static_cast<int32_t>(std::floor(x)), yi = static_cast<int32_t>(std::floor(y));
  const double fx = x - xi, fy = y - yi;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
  const double c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}
double Fractal(double x, double y, uint32_t seed, int octaves = 4) {
  double sum = 0, amp = 0.5, freq = 1;
  for (int i = 0; i < octaves; ++i, amp *= 0.5, freq *= 2)
    sum += amp * Noise(x * freq, y * freq, seed + i);
  return sum;
}

// Height (in rows) of a hill line at column x.
double Ridge(int32_t x, double base, double height, double scale, uint32_t seed) {
  return base - height * Fractal(x / scale, 0.5, seed, 5);
}

void Sky(BlendBitmap& bmp, Rgb top, Rgb horizon, int32_t horizonRow, uint32_t seed) {
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      Rgb c = Mix(top, horizon, double(y) / horizonRow);
      const double cloud = std::max(0.0, Fractal(x / 225.0, y / 75.0, seed) - 0.55) * 2.2;
      c = Mix(c, {250, 245, 240}, cloud * (1.0 - double(y) / horizonRow));
      bmp.SetPixel(x, y, ToPixel(c));
    }
}

void Hills(BlendBitmap& bmp, double base, double height, double scale, Rgb color, uint32_t seed) {
  for (int32_t x = 0; x < bmp.Width(); ++x) {
    const double top = Ridge(x, base, height, scale, seed);
    for (int32_t y = std::max(0, static_cast<int32_t>(top)); y < bmp.Height(); ++y) {
      const double shade = 0.85 + 0.3 * Fractal(x / 40.0, y / 40.0, seed + 9, 3);
      bmp.SetPixel(x, y, ToPixel({color.r * shade, color.g * shade, color.b * shade}));
    }
  }
}

void Sun(BlendBitmap& bmp, int32_t cx, int32_t cy, int32_t r, Rgb color) {
  for (int32_t y = std::max(0, cy - 3 * r); y < std::min(bmp.Height(), cy + 3 * r); ++y)
    for (int32_t x = std::max(0, cx - 3 * r); x < std::min(bmp.Width(), cx + 3 * r); ++x) {
      const double d = std::hypot(x - cx, y - cy);
      const Pixel p = bmp.GetPixel(x, y);
      const Rgb under{double(vec::PixelR(p)), double(vec::PixelG(p)), double(vec::PixelB(p))};
      const double glow = d < r ? 1.0 : std::exp(-(d - r) / (0.6 * r)) * 0.6;
      bmp.SetPixel(x, y, ToPixel(Mix(under, color, glow)));
    }
}

// Water: a gradient with streaks; the engine moves it, this only gives it texture.
void Water(BlendBitmap& bmp, int32_t top, int32_t bottom, Rgb near, Rgb far, uint32_t seed) {
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      const double t = double(y - top) / std::max(1, bottom - top);
      Rgb c = Mix(far, near, t);
      const double streak = Fractal(x / 90.0, y / 3.0, seed, 3);
      c = Mix(c, {230, 240, 255}, std::max(0.0, streak - 0.62) * 2.5);
      bmp.SetPixel(x, y, ToPixel(c));
    }
}

vec::BottomUpBitmap MaskOf(int32_t w, int32_t h) {
  vec::BottomUpBitmap mask(w, h);
  std::fill_n(mask.Bits(), mask.PixelCount(), Pixel{0});
  return mask;
}
void MarkArea(vec::BottomUpBitmap& mask, int area,
              const std::function<bool(int32_t, int32_t)>& inside) {
  for (int32_t y = 0; y < mask.Height(); ++y)
    for (int32_t x = 0; x < mask.Width(); ++x)
      if (inside(x, y)) mask.SetPixel(x, y, vec::kAreaColors[static_cast<size_t>(area)]);
}

bool Save(const BlendBitmap& bmp, const std::string& path) {
  if (vec::SaveBmp32(bmp, path).ok()) return true;
  std::cerr << "demo_art: cannot write " << path << "\n";
  return false;
}
bool Save(const vec::BottomUpBitmap& bmp, const std::string& path) {
  if (vec::SaveBmp32(bmp, path).ok()) return true;
  std::cerr << "demo_art: cannot write " << path << "\n";
  return false;
}
bool SaveJpeg(const BlendBitmap& bmp, const std::string& path, int quality = 80) {
  auto bytes = vec::EncodeJpeg(bmp, quality);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (bytes)
    f.write(reinterpret_cast<const char*>(bytes->data()),
            static_cast<std::streamsize>(bytes->size()));
  if (bytes && f) return true;
  std::cerr << "demo_art: cannot write " << path << "\n";
  return false;
}

// ---- pictures ----------------------------------------------------------------------

constexpr int32_t kLakeTop = 475;
BlendBitmap Lake() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {40, 60, 130}, {250, 170, 110}, kLakeTop, 11);
  Sun(bmp, 875, 375, 32, {255, 230, 170});
  Hills(bmp, kLakeTop - 12, 188, 325, {70, 70, 110}, 12);
  Hills(bmp, kLakeTop, 88, 150, {35, 55, 45}, 13);
  Water(bmp, kLakeTop, kH, {20, 35, 60}, {60, 70, 110}, 14);
  return bmp;
}

constexpr int32_t kSeaTop = 375, kHeadland = 950;
BlendBitmap Sea() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {70, 120, 200}, {200, 225, 245}, kSeaTop, 21);
  Sun(bmp, 312, 150, 38, {255, 250, 220});
  Water(bmp, kSeaTop, kH, {10, 60, 90}, {70, 140, 180}, 22);
  // A headland on the right.
  for (int32_t x = kHeadland; x < kW; ++x) {
    const double top = kSeaTop - 112 * std::sqrt(double(x - kHeadland) / (kW - kHeadland)) +
                       15 * Fractal(x / 37.0, 0, 23);
    for (int32_t y = std::max(0, static_cast<int32_t>(top)); y < kSeaTop + 25; ++y)
      bmp.SetPixel(x, y, ToPixel(Mix({90, 110, 70}, {60, 70, 50}, (y - top) / 137.0)));
  }
  return bmp;
}

constexpr int32_t kFallLeft = 588, kFallRight = 700, kFallTop = 175, kPoolTop = 538;
BlendBitmap Falls() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {90, 140, 210}, {210, 230, 240}, 250, 31);
  // Cliffs on both sides of the fall, meeting the pool.
  for (int32_t y = 0; y < kPoolTop; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const double edge = kFallTop - 75 * Fractal(x / 88.0, 0, 32);
      if (y < edge) continue;
      const double rock = Fractal(x / 31.0, y / 31.0, 33);
      bmp.SetPixel(x, y, ToPixel(Mix({60, 80, 50}, {120, 110, 95}, rock + (y - edge) / 625.0)));
    }
  for (int32_t y = kFallTop - 50; y < kPoolTop; ++y)
    for (int32_t x = kFallLeft; x < kFallRight; ++x) {
      const double foam = Fractal(x / 5.0, y / 50.0, 34, 3);
      bmp.SetPixel(x, y, ToPixel(Mix({120, 160, 190}, {245, 250, 255}, foam)));
    }
  Water(bmp, kPoolTop, kH, {30, 70, 80}, {90, 140, 150}, 35);
  return bmp;
}

BlendBitmap Meadow() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {60, 110, 200}, {190, 215, 240}, 412, 41);
  Sun(bmp, 1025, 112, 30, {255, 250, 210});
  Hills(bmp, 412, 138, 375, {90, 130, 70}, 42);
  Hills(bmp, 500, 75, 188, {70, 140, 50}, 43);
  for (int i = 0; i < 1400; ++i) {  // flowers
    const int32_t x = static_cast<int32_t>(Hash(i, 1, 44) * kW);
    const int32_t y = 525 + static_cast<int32_t>(Hash(i, 2, 44) * (kH - 527));
    const Rgb c = i % 3 == 0   ? Rgb{240, 220, 60}
                  : i % 3 == 1 ? Rgb{230, 80, 90}
                               : Rgb{250, 250, 250};
    for (int32_t dy = 0; dy < 3; ++dy)
      for (int32_t dx = 0; dx < 3; ++dx) bmp.SetPixel(x + dx - 1, y + dy - 1, ToPixel(c));
  }
  return bmp;
}

// Layered hills fading into the morning haze behind a low sun.
BlendBitmap Dawn() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {120, 150, 205}, {255, 195, 145}, 440, 61);
  Sun(bmp, 330, 365, 40, {255, 238, 195});
  Hills(bmp, 450, 130, 420, {165, 140, 160}, 62);
  Hills(bmp, 530, 100, 270, {120, 105, 130}, 63);
  Hills(bmp, 620, 80, 170, {75, 72, 92}, 64);
  return bmp;
}

// Stars over a dark ridge, a crescent moon above the last light of the day.
BlendBitmap Dusk() {
  BlendBitmap bmp(kW, kH);
  Sky(bmp, {18, 18, 58}, {205, 105, 120}, 500, 71);
  for (int i = 0; i < 400; ++i) {
    const int32_t x = static_cast<int32_t>(Hash(i, 1, 72) * kW);
    const int32_t y = static_cast<int32_t>(Hash(i, 2, 72) * 330);
    const Pixel p = bmp.GetPixel(x, y);
    const Rgb under{double(vec::PixelR(p)), double(vec::PixelG(p)), double(vec::PixelB(p))};
    bmp.SetPixel(x, y, ToPixel(Mix(under, {255, 255, 240}, 1.0 - y / 400.0)));
  }
  // The moon: a disc less a disc beside it.
  constexpr int32_t kMoonX = 960, kMoonY = 150, kMoonR = 34;
  for (int32_t y = kMoonY - kMoonR; y <= kMoonY + kMoonR; ++y)
    for (int32_t x = kMoonX - kMoonR; x <= kMoonX + kMoonR; ++x)
      if (std::hypot(x - kMoonX, y - kMoonY) <= kMoonR &&
          std::hypot(x - kMoonX - 16, y - kMoonY + 6) > kMoonR - 2)
        bmp.SetPixel(x, y, ToPixel({250, 240, 205}));
  Hills(bmp, 520, 110, 360, {45, 38, 66}, 73);
  Hills(bmp, 600, 70, 190, {22, 20, 36}, 74);
  return bmp;
}

// A bird in flight on a magenta key colour (the bottom-left pixel is the key).
BlendBitmap Bird() {
  BlendBitmap bmp(64, 32);
  bmp.Clear(MakePixel(255, 0, 255));
  for (int32_t x = 0; x < 64; ++x) {
    const double wing = 14 - 10 * std::sin(std::abs(x - 32) / 32.0 * kPi * 0.9);
    for (int32_t t = 0; t < 3; ++t) {
      const int32_t y = static_cast<int32_t>(wing) + t + (std::abs(x - 32) < 4 ? 2 : 0);
      if (y >= 0 && y < 31) bmp.SetPixel(x, y, MakePixel(30, 30, 40));
    }
  }
  return bmp;
}

// A small sailing boat that bobs, as an animated GIF with a transparent background.
bool WriteBoatGif(const std::string& path) {
  constexpr int W = 96, H = 80, kFrames = 6;
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (!gif) return false;
  EGifSetGifVersion(gif, true);
  GifColorType colors[8] = {{0, 0, 0},     {250, 250, 245}, {150, 60, 40}, {90, 50, 30},
                            {200, 40, 40}, {40, 40, 40},    {0, 0, 0},     {0, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(8, colors);
  bool ok = EGifPutScreenDesc(gif, W, H, 3, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoop[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(gif, sizeof kApp, kApp) == GIF_OK &&
       EGifPutExtensionBlock(gif, sizeof kLoop, kLoop) == GIF_OK &&
       EGifPutExtensionTrailer(gif) == GIF_OK;
  for (int f = 0; ok && f < kFrames; ++f) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_BACKGROUND;
    gcb.DelayTime = 15;
    gcb.TransparentColor = 0;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, W, H, false, nullptr) == GIF_OK;
    const int bob = static_cast<int>(std::lround(3 * std::sin(f * 2 * kPi / kFrames)));
    std::vector<GifPixelType> line(W);
    for (int y = 0; ok && y < H; ++y) {
      for (int x = 0; x < W; ++x) {
        const int yy = y - bob;
        GifPixelType c = 0;
        if (yy >= 56 && yy < 68 && x > 10 + (yy - 56) && x < 86 - (yy - 56)) c = 3;  // hull
        if (x >= 47 && x <= 49 && yy >= 8 && yy < 56) c = 5;                         // mast
        if (x > 50 && yy >= 10 && yy < 52 && x - 50 < (yy - 10) * 0.8) c = 1;        // sail
        if (x < 46 && yy >= 18 && yy < 52 && 46 - x < (yy - 18) * 0.6) c = 1;        // jib
        if (x >= 49 && x < 58 && yy >= 4 && yy < 9) c = 4;                           // flag
        line[static_cast<size_t>(x)] = c;
      }
      ok = EGifPutLine(gif, line.data(), W) == GIF_OK;
    }
  }
  return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

// ---- sounds ------------------------------------------------------------------------

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  f.write("RIFF", 4);
  u32(36 + bytes);
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate) * 2);
  u16(2);
  u16(16);
  f.write("data", 4);
  u32(bytes);
  f.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(bytes));
  return static_cast<bool>(f);
}

constexpr int kRate = 22050;
int16_t Sample(double v) {
  return static_cast<int16_t>(std::clamp(v, -1.0, 1.0) * 32000);
}

// Surf: filtered noise that swells and falls; loops without a seam (4 s).
std::vector<int16_t> Surf() {
  std::vector<int16_t> s(4 * kRate);
  double low = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double noise = Hash(static_cast<int32_t>(i), 0, 51) * 2 - 1;
    low += (noise - low) * 0.05;
    const double swell = 0.35 + 0.3 * std::sin(2 * kPi * i / s.size());
    s[i] = Sample(low * 2.5 * swell);
  }
  return s;
}

// A gull's cry: two falling chirps.
std::vector<int16_t> Gull() {
  std::vector<int16_t> s(kRate);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double local = std::fmod(t, 0.45);
    const double freq = 2200 - 1400 * local / 0.45;
    phase += 2 * kPi * freq / kRate;
    const double env = t < 0.9 ? std::sin(kPi * local / 0.45) : 0;
    s[i] = Sample(0.5 * env * (std::sin(phase) + 0.3 * std::sin(2 * phase)));
  }
  return s;
}

// A calm tune of plucked notes (16 s), played as the show's music.
std::vector<int16_t> Tune() {
  static const int kNotes[] = {0, 4, 7, 12, 7,  4, 2, 5, 9, 14, 9, 5,  0, 4, 7, 11,
                               7, 4, 0, -5, -3, 0, 4, 9, 7, 4,  2, -1, 0, 4, 7, 12};
  constexpr double kBeat = 0.5;
  std::vector<int16_t> s(static_cast<size_t>(std::size(kNotes) * kBeat * kRate));
  for (size_t n = 0; n < std::size(kNotes); ++n) {
    const double freq = 261.63 * std::pow(2.0, kNotes[n] / 12.0);
    const size_t start = static_cast<size_t>(n * kBeat * kRate);
    for (size_t i = 0; i < static_cast<size_t>(kBeat * kRate * 2) && start + i < s.size(); ++i) {
      const double t = double(i) / kRate;
      const double v =
          std::exp(-3.5 * t) * (std::sin(2 * kPi * freq * t) + 0.25 * std::sin(4 * kPi * freq * t));
      s[start + i] = Sample(s[start + i] / 32000.0 + 0.3 * v);
    }
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: demo_art OUTDIR\n";
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;

  const BlendBitmap lake = Lake();
  vec::BottomUpBitmap lakeMask = MaskOf(kW, kH);
  MarkArea(lakeMask, 1, [](int32_t, int32_t y) { return y >= kLakeTop; });
  ok &= Save(lake, dir + "Lake.bmp") && Save(lakeMask, dir + "LakeMask.bmp");

  const BlendBitmap sea = Sea();
  vec::BottomUpBitmap seaMask = MaskOf(kW, kH);
  MarkArea(seaMask, 1, [](int32_t x, int32_t y) {
    return y >= kSeaTop + 25 || (y >= kSeaTop && x < kHeadland);
  });
  ok &= Save(sea, dir + "Sea.bmp") && Save(seaMask, dir + "SeaMask.bmp");

  const BlendBitmap falls = Falls();
  vec::BottomUpBitmap fallsMask = MaskOf(kW, kH);
  MarkArea(fallsMask, 1, [](int32_t x, int32_t y) {
    return y >= kFallTop - 25 && y < kPoolTop && x >= kFallLeft && x < kFallRight;
  });
  MarkArea(fallsMask, 2, [](int32_t, int32_t y) { return y >= kPoolTop; });
  ok &= Save(falls, dir + "Falls.bmp") && Save(fallsMask, dir + "FallsMask.bmp");

  ok &= SaveJpeg(Meadow(), dir + "Meadow.jpg");
  ok &= SaveJpeg(Dawn(), dir + "Dawn.jpg");
  ok &= SaveJpeg(Dusk(), dir + "Dusk.jpg");
  BlendBitmap preview(320, 180);
  vec::StretchSmoothTo(lake, preview);
  ok &= SaveJpeg(preview, dir + "Preview.jpg", 88);
  ok &= Save(Bird(), dir + "Bird.bmp");
  ok &= WriteBoatGif(dir + "Boat.gif");
  ok &= WriteWav(dir + "surf.wav", Surf(), kRate);
  ok &= WriteWav(dir + "gull.wav", Gull(), kRate);
  ok &= WriteWav(dir + "tune.wav", Tune(), kRate);
  if (!ok) std::cerr << "demo_art: some files could not be written\n";
  return ok ? 0 : 1;
}
