#pragma once
// The numbers that a saver's stored settings and the running show both start from, so that
// a setting left out of the package and a show started without settings agree.

#include <cstdint>

namespace vec {

// The transition effects are numbered 1..kEffectCount: the effect table holds exactly this
// many, and the default effect list names every one of them.
inline constexpr int kEffectCount = 169;

// A show's settings where the saver names none.
inline constexpr int32_t kDefaultDurationSeconds = 30;  // each picture's time on screen
inline constexpr int32_t kDefaultTransitionMs = 2000;   // a transition's length
inline constexpr int32_t kDefaultSpeedPercent = 100;    // the animations' speed

}  // namespace vec
