#pragma once
// A clock that leaves out the time the process spent stopped. A screen-saver daemon stops
// its saver (SIGSTOP) while the screen is unlocked and continues it (SIGCONT) later; without
// this the show would see minutes pass in one frame and jump its pictures, water and sounds.
// MarkResumed() is safe to call from a signal handler: the next reading takes the gap since
// the last reading as no time at all.

#include <atomic>
#include <cstdint>

#include "base/Clock.h"

namespace vec {

class ResumableClock final : public IClock {
 public:
  explicit ResumableClock(IClock& source) : source_(source), last_(source.Ticks()) {}

  uint32_t Ticks() override {
    const uint32_t raw = source_.Ticks();
    if (resumed_.exchange(false)) offset_ += TickDiff(raw, last_);
    last_ = raw;
    return raw - offset_;
  }
  void Sleep(uint32_t ms) override { source_.Sleep(ms); }
  void MarkResumed() { resumed_.store(true); }

 private:
  IClock& source_;
  uint32_t last_;
  uint32_t offset_ = 0;
  std::atomic<bool> resumed_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace vec
