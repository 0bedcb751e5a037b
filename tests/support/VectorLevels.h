#pragma once
// Running a test at every vector level the processor has, through the one override
// (base/VectorLevel.h), so each level's kernels are held to the same pixels.

#include <vector>

#include "base/VectorLevel.h"

namespace vec::testing {

// Every level up to the processor's best, narrowest first.
inline std::vector<VectorLevel> LevelsToTest() {
  std::vector<VectorLevel> levels;
  for (const VectorLevel level : kVectorLevels)
    if (level <= BestVectorLevel()) levels.push_back(level);
  return levels;
}

// Caps the level for a scope; the cap is lifted again at its end.
class ScopedVectorLevel {
 public:
  explicit ScopedVectorLevel(VectorLevel level) { LimitVectorLevel(level); }
  ~ScopedVectorLevel() { LimitVectorLevel(VectorLevel::Avx2); }
  ScopedVectorLevel(const ScopedVectorLevel&) = delete;
  ScopedVectorLevel& operator=(const ScopedVectorLevel&) = delete;
};

}  // namespace vec::testing
