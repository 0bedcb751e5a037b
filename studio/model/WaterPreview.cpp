#include "studio/model/WaterPreview.h"

#include "animation/AnimatedObject.h"

namespace vec::studio {

WaterPreview::WaterPreview() : clock_(kClockStart), engine_(&clock_) {
  // The objects are stepped with the clock, so a paused preview pauses them too.
  engine_.SetObjectsThreaded(false);
}

void WaterPreview::Start(Picture& picture) {
  picture_ = &picture;
  Restart();
}

void WaterPreview::Restart() {
  if (!picture_) return;
  picture_->speed = speed_;
  played_ = 0;
  nextObjectStep_ = anim::kStepIntervalMs;
  clock_.Set(kClockStart);
  engine_.SetPicture(*picture_);
  engine_.SetWeather(false);
  engine_.Start();
  engine_.SetWeather(picture_->weather.Kind > 0);
}

void WaterPreview::Advance(uint32_t ms) {
  if (!picture_) return;
  const uint64_t target = played_ + ms;
  for (; nextObjectStep_ <= target; nextObjectStep_ += anim::kStepIntervalMs) {
    clock_.Set(static_cast<uint32_t>(kClockStart + nextObjectStep_));
    engine_.Objects().StepAll();
  }
  played_ = target;
  clock_.Set(static_cast<uint32_t>(kClockStart + played_));
  engine_.Tick();
}

void WaterPreview::SetSpeed(int32_t percent) {
  speed_ = percent;
  if (picture_) picture_->speed = percent;
  engine_.SetSpeed(percent);
}

}  // namespace vec::studio
