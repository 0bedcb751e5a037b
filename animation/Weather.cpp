#include "animation/Weather.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/MathUtil.h"
#include "base/Random.h"

namespace vec {

namespace {

// Alpha value A scaled by the opacity in tenths: round(A x o x 10 / 100), kept a byte.
uint8_t ScaledAlpha(int32_t a, int32_t opacity) {
  double v = static_cast<double>(a) * opacity * 10.0 / 100.0;
  return static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven64(v), 0, 255));
}

Pixel White(uint8_t alpha) {
  return MakePixel(255, 255, 255, alpha);
}

double CosDegrees(int32_t degrees) {
  return std::cos(static_cast<double>(degrees) * std::numbers::pi / 180.0);
}

// Particle coordinates far outside the target are rounded through this so that a damaged
// record can never overflow an integer.
int32_t RoundCoord(double v) {
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return RoundHalfEven(v);
}

}  // namespace

void WeatherEffect::SetCount(int32_t n) {
  count_ = std::clamp(n, 0, kMaxWeatherParticles);
}

double WeatherEffect::TimeStep(double msPerUnit) const {
  // Strictly left to right in doubles: elapsed / unit x speed-table value / 100 x speed /
  // 100. Another order rounds differently, and the particles land elsewhere.
  return static_cast<double>(elapsed) / msPerUnit * SpeedTableAt(speedIndex) / 100.0 *
         speedPercent / 100.0;
}

// ---- Snow ----

void Snow::Place() {
  const int32_t w = target_ ? target_->Width() : 0;
  const int32_t h = target_ ? target_->Height() : 0;
  flakes_.assign(static_cast<size_t>(count_), SnowFlake{});
  for (SnowFlake& f : flakes_) {
    f.x = Random(w);
    f.y = Random(h);
    f.drift = 1 - Random(3);
    f.size = Random(3) + 2;
  }
}

void Snow::Move() {
  const int32_t w = target_ ? target_->Width() : 0;
  const int32_t h = target_ ? target_->Height() : 0;
  const double step = TimeStep(70.0);
  for (SnowFlake& f : flakes_) {
    f.y += step * f.size;
    f.x += step * f.drift;
    if (Random(20) == 0) f.size += Random(3) - 1;
    if (f.x < 0)
      f.x = w + Random(50);
    else if (f.x > w)
      f.x = -Random(50);
    f.size = std::clamp(f.size, 2, 4);
    if (f.y > h - 1) f.y = -Random(100);
  }
}

void Snow::Draw() const {
  if (!target_) return;
  BlendBitmap& t = *target_;
  const int32_t w = t.Width(), h = t.Height();
  auto put = [&](int32_t x, int32_t y, Pixel c) {
    if (x >= 0 && y >= 0 && x < w && y < h) t.SetPixelT(x, y, c);
  };
  const Pixel a60 = White(ScaledAlpha(60, opacity));
  const Pixel a160 = White(ScaledAlpha(160, opacity));
  const Pixel a200 = White(ScaledAlpha(200, opacity));
  const Pixel a240 = White(ScaledAlpha(240, opacity));
  for (const SnowFlake& f : flakes_) {
    const int32_t x = RoundCoord(f.x), y = RoundCoord(f.y);
    switch (f.size) {
      case 2:
        put(x, y, a160);
        put(x + 1, y, a60);
        put(x, y + 1, a60);
        break;
      case 3:
        put(x, y, a200);
        put(x - 1, y, a160);
        put(x, y - 1, a160);
        put(x + 1, y, a160);
        put(x, y + 1, a160);
        put(x - 1, y - 1, a60);
        put(x + 1, y - 1, a60);
        put(x - 1, y + 1, a60);
        put(x + 1, y + 1, a60);
        break;
      default: {
        static constexpr int8_t kShape[12][2] = {{0, 0}, {-1, 0}, {-1, 1}, {0, -1},
                                                 {0, 1}, {0, 2},  {1, -1}, {1, 0},
                                                 {1, 1}, {1, 2},  {2, 0},  {2, 1}};
        for (const auto& d : kShape) put(x + d[0], y + d[1], a240);
        break;
      }
    }
  }
}

void Snow::MoveAndDraw() {
  Move();
  Draw();
}

// ---- Rain ----

void Rain::Place() {
  const int32_t w = target_ ? target_->Width() : 0;
  const int32_t h = target_ ? target_->Height() : 0;
  drops_.assign(static_cast<size_t>(count_), RainDrop{});
  for (RainDrop& d : drops_) {
    d.x = Random(w);
    d.y = Random(h);
    d.size = Random(3) + 2;
    d.lengthFactor = Random(4) + 1;
  }
}

void Rain::Move() {
  const int32_t w = target_ ? target_->Width() : 0;
  const int32_t h = target_ ? target_->Height() : 0;
  const double step = TimeStep(50.0);
  const double slant = CosDegrees(direction);
  for (RainDrop& d : drops_) {
    const double oldY = d.y;
    d.y += d.size * step * 3;
    d.x += slant * (d.y - oldY);
    if (d.x < -20)
      d.x = w + Random(100);
    else if (d.x > w + 20)
      d.x = -Random(100);
    d.size = std::clamp(d.size, 2, 4);
    if (d.y > h + 20) d.y = -Random(100);
  }
}

void Rain::Draw() const {
  if (!target_ || target_->Empty()) return;
  BlendBitmap& t = *target_;
  const double slant = CosDegrees(direction);
  // A streak longer than the picture says nothing more; the bound keeps a damaged
  // length from turning into a line millions of pixels long.
  const double len = std::clamp<double>(length, -10000, 10000);
  for (const RainDrop& d : drops_) {
    const int32_t s = std::clamp(d.size, 2, 4);
    const int32_t g = 55 / (5 - s) + 200;
    const int32_t tt = 100 - 20 * s;
    const int32_t x0 = RoundCoord(d.x), y0 = RoundCoord(d.y);
    const int32_t y1 = RoundCoord(static_cast<double>(s) * d.lengthFactor * len / 10.0 + y0);
    const int32_t x1 = RoundCoord(slant * (static_cast<double>(y1) - y0) + x0);
    const int32_t ym = RoundCoord(y0 + (6.0 * y1 - 6.0 * y0) / 8.0);
    const int32_t xm = RoundCoord(x0 + (6.0 * x1 - 6.0 * x0) / 8.0);
    const uint8_t gg = static_cast<uint8_t>(g);
    t.LineFS(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(xm),
             static_cast<float>(ym), MakePixel(gg, gg, gg, ScaledAlpha(150 - tt, opacity)), false);
    t.LineFS(static_cast<float>(xm), static_cast<float>(ym), static_cast<float>(x1),
             static_cast<float>(y1), MakePixel(gg, gg, gg, ScaledAlpha(255 - tt, opacity)), false);
  }
}

void Rain::MoveAndDraw() {
  Move();
  Draw();
}

}  // namespace vec
