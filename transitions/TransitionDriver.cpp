#include "transitions/TransitionDriver.h"

#include <algorithm>

#include "base/MathUtil.h"
#include "transitions/Effect.h"
#include "transitions/EffectStep.h"

namespace vec {

TransitionDriver::TransitionDriver(IClock& clock, ITransitionDisplay& display)
    : clock_(clock), display_(display) {}

void TransitionDriver::Resize(int32_t width, int32_t height) {
  old_.SetSize(width, height);
  new_.SetSize(width, height);
  work_.SetSize(width, height);
}

int64_t TransitionDriver::StepCount(int32_t durationMs, uint32_t firstFrameMs) {
  // The first frame's cost, plus one millisecond, estimates the cost of every frame. A
  // negative duration gives no steps, as a zero one does.
  const int64_t steps = int64_t{durationMs} / (int64_t{firstFrameMs} + 1);
  return steps > 0 ? steps : 0;
}

int64_t TransitionDriver::CappedStepCount(int32_t durationMs, uint32_t firstFrameMs,
                                          int32_t maxFramesPerSecond) {
  const int64_t steps = StepCount(durationMs, firstFrameMs);
  if (maxFramesPerSecond <= 0) return steps;
  return std::min(steps, int64_t{durationMs} * maxFramesPerSecond / 1000);
}

int32_t TransitionDriver::StepPercent(int64_t i, int64_t steps) {
  return RoundHalfEven(static_cast<double>(i) * 100.0 / static_cast<double>(steps));
}

TransitionDriver::Result TransitionDriver::RunTransition(int32_t durationMs,
                                                         const EffectList& effects,
                                                         const EngineStep& engineStep) {
  const uint32_t t0 = clock_.Ticks();
  if (engineStep) engineStep(new_);
  const std::optional<int32_t> n = ChooseEffect(effects);
  if (!n) {
    lastEffect_ = 0;
    lastSteps_ = 0;
    return Result::BadEffectItem;
  }
  lastEffect_ = *n;
  TransitionStep(*n, 0);
  const uint32_t firstFrameMs = TickDiff(clock_.Ticks(), t0);
  const int64_t steps = CappedStepCount(durationMs, firstFrameMs, maxFramesPerSecond);
  const bool paced = maxFramesPerSecond > 0;
  // Frame i belongs at t0 + i * duration / steps.
  const auto due = [&](int64_t i) { return i * int64_t{durationMs} / steps; };
  lastSteps_ = steps;
  int64_t drawn = 0;
  int64_t frameCost = firstFrameMs;  // what the last frame took, its way to the screen included
  for (int64_t i = 1; i <= steps; ++i) {
    const uint32_t frameStart = clock_.Ticks();
    if (paced) {
      // The frame is on the screen about one frame's cost from now: frames whose time has
      // passed by then are left out; the last one always comes.
      const int64_t shown = TickDiff(frameStart, t0) + frameCost;
      while (i < steps && due(i + 1) <= shown) ++i;
    }
    if (engineStep) engineStep(new_);
    TransitionStep(*n, StepPercent(i, steps));
    ++drawn;
    if (processMessages) processMessages();
    if (cancelled && cancelled()) break;
    frameCost = TickDiff(clock_.Ticks(), frameStart);
    if (paced) {
      const int64_t early = due(i) - TickDiff(clock_.Ticks(), t0);
      if (early > 0) clock_.Sleep(static_cast<uint32_t>(early));
    }
  }
  if (paced) lastSteps_ = drawn;
  return Result::Done;
}

void TransitionDriver::TransitionStep(int32_t n, int32_t percent) {
  const auto procOf = [this](int32_t number) {
    return effectProc ? effectProc(number) : &EffectByNumber(number);
  };
  const Effect* proc = procOf(n);
  if (!proc) proc = procOf(1);
  // Every frame starts from the whole of Old.
  DrawEffectStep(proc, work_, old_, new_, percent);
  display_.Present(work_);
}

}  // namespace vec
