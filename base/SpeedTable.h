#pragma once
// Speed percentages selected by a speed index 0..20: the user's speed choice, the Settings
// dialog's track bar and the weather's speed all index this one table.

#include <algorithm>
#include <array>
#include <cstdint>

namespace vec {

inline constexpr std::array<int32_t, 21> SpeedTable = {
    10, 20, 30, 45, 50, 60, 70, 75, 80, 90, 100, 120, 140, 160, 180, 200, 220, 240, 360, 480, 500};

// The entry for an index, clamped into the table (an index from a damaged file must not
// read past it).
constexpr int32_t SpeedTableAt(int32_t index) {
  return SpeedTable[static_cast<size_t>(
      std::clamp<int32_t>(index, 0, static_cast<int32_t>(SpeedTable.size()) - 1))];
}

// Index of the table value equal to `speed`, or -1.
constexpr int32_t SpeedIndex(int32_t speed) {
  for (size_t i = 0; i < SpeedTable.size(); ++i)
    if (SpeedTable[i] == speed) return static_cast<int32_t>(i);
  return -1;
}

// Index of the table value nearest to `speed` (the lower one on a tie), for showing a speed
// that matches no entry.
constexpr int32_t NearestSpeedIndex(int32_t speed) {
  int32_t best = 0;
  for (size_t i = 1; i < SpeedTable.size(); ++i) {
    const int64_t d = static_cast<int64_t>(SpeedTable[i]) - speed;
    const int64_t b = static_cast<int64_t>(SpeedTable[static_cast<size_t>(best)]) - speed;
    if ((d < 0 ? -d : d) < (b < 0 ? -b : b)) best = static_cast<int32_t>(i);
  }
  return best;
}

}  // namespace vec
