#pragma once
// The benchmarks' one source of noise for their inputs: a 32-bit linear congruential
// generator with the common Numerical Recipes constants. It is fast and the same on every
// machine, so a benchmark's input, and with it its figure, is the same from run to run.

#include <cstdint>

namespace vec::bench {

class BenchNoise {
 public:
  explicit BenchNoise(uint32_t seed) : seed_(seed) {}
  // Steps once and returns the new state; its high bits are the most random.
  uint32_t Next() { return seed_ = seed_ * 1664525u + 1013904223u; }

 private:
  uint32_t seed_;
};

}  // namespace vec::bench
