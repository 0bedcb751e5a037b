#pragma once
// The wave parameters of one water area, as a picture file stores them.

#include <cstddef>
#include <cstdint>

namespace vec {

// Wave parameters of one water area, byte for byte the 32-byte record of the file.
struct WaveSet {
  int32_t Amplitude = 0;    // largest displacement in pixels
  int32_t Cycles = 0;       // wave cycles over the picture height
  int32_t PhaseStep = 0;    // degrees per 50 ms at speed 100 %
  int32_t Forward = 0;      // nonzero: the phase grows
  uint8_t Horizontal = 0;   // nonzero: pixels move sideways
  uint8_t Vertical = 0;     // nonzero: pixels move up and down
  uint8_t Perspective = 0;  // nonzero: waves grow towards the bottom of the area
  uint8_t reserved1 = 0;
  int32_t Period = 0;   // modulus in degrees of the vertical wave's argument
  int32_t Scatter = 0;  // random row offset per column, 0 .. Scatter-1
  uint8_t reserved2 = 0;
  uint8_t Mirror = 0;  // nonzero: the area mirrors the picture above it
  uint8_t reserved3[2] = {0, 0};

  static constexpr size_t kRecordSize = 32;
  friend bool operator==(const WaveSet&, const WaveSet&) = default;
};
static_assert(sizeof(WaveSet) == WaveSet::kRecordSize);

constexpr int kWaveSetCount = 4;

}  // namespace vec
