#include "configui/controls/AutoRepeat.h"

#include "base/Clock.h"

namespace vec {

void AutoRepeat::Start(uint32_t now) {
  interval_ = kFirstDelay;
  since_ = now;
  running_ = true;
}

void AutoRepeat::Resume(uint32_t now) {
  since_ = now;
  running_ = true;
}

bool AutoRepeat::Poll(uint32_t now) {
  if (!running_ || TickDiff(now, since_) < interval_) return false;
  interval_ = kInterval;
  since_ = now;
  return true;
}

uint32_t AutoRepeat::Remaining(uint32_t now) const {
  if (!running_) return 0;
  const uint32_t elapsed = TickDiff(now, since_);
  return elapsed >= interval_ ? 0 : interval_ - elapsed;
}

}  // namespace vec
