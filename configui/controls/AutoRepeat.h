#pragma once
// The timing of a held button's repeats: a first tick 500 ms after the press, then one every
// 50 ms. Like a window timer it never catches up: a late tick fires once, and the next one
// counts from it. Stopping keeps the interval, so resuming after the first tick repeats
// every 50 ms from the resume.

#include <cstdint>

namespace vec {

class AutoRepeat {
 public:
  static constexpr uint32_t kFirstDelay = 500;
  static constexpr uint32_t kInterval = 50;

  // Starts over: the next tick is kFirstDelay after now.
  void Start(uint32_t now);
  void Stop() { running_ = false; }
  // Runs again with the interval it had; the next tick is that interval after now.
  void Resume(uint32_t now);
  bool Running() const { return running_; }
  uint32_t Interval() const { return interval_; }

  // True when a tick is due at now; it then switches to kInterval, counted from now.
  bool Poll(uint32_t now);
  // Milliseconds until the next tick (0 when due or stopped).
  uint32_t Remaining(uint32_t now) const;

 private:
  bool running_ = false;
  uint32_t interval_ = kFirstDelay;
  uint32_t since_ = 0;
};

}  // namespace vec
