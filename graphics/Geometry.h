#pragma once
#include <cstdint>

namespace vec {

// Half-open rectangle: pixels left <= x < right, top <= y < bottom.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
  int32_t x = 0, y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

// A pixel as stored: bytes blue, green, red, fourth (alpha) in memory order,
// i.e. 0xAARRGGBB read as a little-endian 32-bit value.
using Pixel = uint32_t;

constexpr Pixel MakePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0xFF) {
  return (Pixel(a) << 24) | (Pixel(r) << 16) | (Pixel(g) << 8) | Pixel(b);
}
constexpr uint8_t PixelR(Pixel p) {
  return uint8_t(p >> 16);
}
constexpr uint8_t PixelG(Pixel p) {
  return uint8_t(p >> 8);
}
constexpr uint8_t PixelB(Pixel p) {
  return uint8_t(p);
}
constexpr uint8_t PixelA(Pixel p) {
  return uint8_t(p >> 24);
}

// A stored colour in the authoring side's order 0x00BBGGRR (red in the low byte).
using Color = uint32_t;
constexpr Pixel ColorToPixel(Color c, uint8_t alpha = 0xFF) {
  return MakePixel(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), alpha);
}

}  // namespace vec
