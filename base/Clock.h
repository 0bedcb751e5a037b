#pragma once
// Time as the show sees it: a 32-bit millisecond tick and a sleep. The real clock
// serves the program; tests and offline rendering use a fake one they advance by hand.

#include <cstdint>

namespace vec {

class IClock {
 public:
  virtual ~IClock() = default;
  // Millisecond tick count; wraps around at 2^32.
  virtual uint32_t Ticks() = 0;
  virtual void Sleep(uint32_t ms) = 0;
};

// Milliseconds elapsed from `from` to `to` on a wrapping 32-bit tick.
inline uint32_t TickDiff(uint32_t to, uint32_t from) {
  return to - from;
}

class SteadyClock final : public IClock {
 public:
  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
};

// A clock that only moves when told to; Sleep advances it.
class FakeClock final : public IClock {
 public:
  explicit FakeClock(uint32_t start = 1000000) : now_(start) {}
  uint32_t Ticks() override { return now_; }
  void Sleep(uint32_t ms) override { now_ += ms; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t t) { now_ = t; }

 private:
  uint32_t now_;
};

}  // namespace vec
