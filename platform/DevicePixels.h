#pragma once
// Logical (scaled) window coordinates to the monitor's device pixels. With a display scale
// factor a window of 1920 x 1080 logical pixels covers 3840 x 2160 device pixels at ratio 2;
// the show renders at the device size so nothing is scaled up.

#include <cstdint>

namespace vec {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const PixelSize&) const = default;
};

// A ratio that is not a positive number counts as 1.
double UsableRatio(double devicePixelRatio);

// The device pixels a `logicalWidth` x `logicalHeight` window covers, rounded to nearest.
PixelSize DevicePixelSize(int32_t logicalWidth, int32_t logicalHeight, double devicePixelRatio);

// A logical coordinate (a mouse position) in device pixels, rounded to nearest.
int32_t ToDevicePixels(double logical, double devicePixelRatio);

}  // namespace vec
