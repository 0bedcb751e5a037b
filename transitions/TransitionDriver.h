#pragma once
// Runs one transition between two pictures: picks the effect, draws the 0 % frame, sizes
// the number of further frames from what that first frame cost, and draws them up to 100 %.
// Headless: time comes from an IClock and frames go to an ITransitionDisplay, so the
// slideshow only has to wire both to the screen.

#include <cstdint>
#include <functional>

#include "base/Clock.h"
#include "graphics/BottomUpBitmap.h"
#include "transitions/Effect.h"
#include "transitions/EffectList.h"

namespace vec {

class ITransitionDisplay {
 public:
  virtual ~ITransitionDisplay() = default;
  // Shows the frame with its top-left corner at (0, 0) of the screen.
  virtual void Present(const BottomUpBitmap& frame) = 0;
};

class TransitionDriver {
 public:
  TransitionDriver(IClock& clock, ITransitionDisplay& display);

  // The three buffers live as long as the driver and are resized, never re-created. Before
  // RunTransition the caller captures the screen into Old and, for a still picture, draws
  // the new picture into New (centred on black).
  BottomUpBitmap& Old() { return old_; }
  BottomUpBitmap& New() { return new_; }
  BottomUpBitmap& Work() { return work_; }
  // Resizes all three buffers to the display; their contents become black.
  void Resize(int32_t width, int32_t height);

  // For a picture file: advances the animation one step and draws its frame into New.
  // Called once before the 0 % frame and once before every later frame.
  using EngineStep = std::function<void(BottomUpBitmap& newBmp)>;
  // Let pending input be handled; called after every frame from the second one on.
  std::function<void()> processMessages;
  // Optional: when it answers true (after processMessages), the remaining frames are
  // skipped, so a close request need not wait out a very long TransitionTime.
  std::function<bool()> cancelled;
  // The most frames a second the output can show (a screen's refresh rate); 0 for no cap.
  // With a cap a transition is also held to its duration: no more frames are drawn than the
  // output shows in that time, a frame drawn ahead of its time waits for it, and frames
  // whose time has passed are left out, so the transition ends within one frame of its
  // duration whatever a frame really costs (its trip to the screen included). Without a
  // cap the frames follow one another as fast as they are drawn.
  int32_t maxFramesPerSecond = 0;
  // Optional: the routine of an effect number, in place of the effect table (stand-ins and
  // tools that draw their own). A nullptr answer falls back as the table's does.
  std::function<const Effect*(int32_t n)> effectProc;

  enum class Result { Done, BadEffectItem };
  // Duration in milliseconds. An item of `effects` that is not an integer ends the
  // transition before any frame is drawn (LastEffect and LastSteps are then 0).
  Result RunTransition(int32_t durationMs, const EffectList& effects,
                       const EngineStep& engineStep = {});

  // One frame: the whole of Old onto Work (a clip region an effect left selected is
  // dropped first), effect n over it at `percent`, Work presented. A number outside the
  // table draws effect 1; when a stand-in table has no routine for effect 1 either, Work
  // shows Old.
  void TransitionStep(int32_t n, int32_t percent);

  // What the last RunTransition did: the effect drawn and the number of frames after 0 %
  // (drawn ones: with a cap, frames left out for time do not count).
  int32_t LastEffect() const { return lastEffect_; }
  int64_t LastSteps() const { return lastSteps_; }

  // The number of frames after the 0 % frame, and the percent of frame i (1..steps).
  static int64_t StepCount(int32_t durationMs, uint32_t firstFrameMs);
  static int32_t StepPercent(int64_t i, int64_t steps);
  // The step count held to `maxFramesPerSecond` (0: no cap) over `durationMs`.
  static int64_t CappedStepCount(int32_t durationMs, uint32_t firstFrameMs,
                                 int32_t maxFramesPerSecond);

 private:
  IClock& clock_;
  ITransitionDisplay& display_;
  BottomUpBitmap old_, new_, work_;
  int32_t lastEffect_ = 0;
  int64_t lastSteps_ = 0;
};

}  // namespace vec
