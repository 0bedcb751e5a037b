#pragma once
// The studio's preview: the show's water engine run on the picture being authored, on a
// clock of its own that moves only when the preview is played or stepped, so a paused
// preview stays where it is and every step shows the same frames on every run.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "graphics/BlendBitmap.h"
#include "picture/Picture.h"

namespace vec::studio {

class WaterPreview {
 public:
  // One frame at 30 frames a second.
  static constexpr uint32_t kFrameMs = 33;

  WaterPreview();

  // Starts the engine on `picture` as the show starts it (weather last); the picture must
  // outlive the preview's use of it. Start again after the mask, a wave set's Scatter or
  // Mirror, or the weather changed: the engine prepares those once per start.
  void Start(Picture& picture);
  void Restart();
  // Moves the clock on by `ms`, stepping the objects every 5 ms of it as their workers
  // would, and draws one frame.
  void Advance(uint32_t ms);
  // Folder searched first for the objects' images (the picture file's folder).
  void SetImageFolder(std::string folder) { engine_.SetPackageFolder(std::move(folder)); }

  // Speed in percent, as the show's speed setting.
  void SetSpeed(int32_t percent);
  int32_t Speed() const { return speed_; }

  // The frame to show (the still picture before the first advance).
  const BlendBitmap& Frame() const { return engine_.Output(); }
  const WaterEngine& Engine() const { return engine_; }
  // Milliseconds the preview has played since its start.
  uint64_t Time() const { return played_; }
  bool Started() const { return picture_ != nullptr; }

 private:
  static constexpr uint32_t kClockStart = 1000000;

  FakeClock clock_;
  WaterEngine engine_;
  uint64_t played_ = 0;
  uint64_t nextObjectStep_ = 0;  // in played time
  Picture* picture_ = nullptr;
  int32_t speed_ = 100;
};

}  // namespace vec::studio
