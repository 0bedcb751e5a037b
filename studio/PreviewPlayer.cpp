#include "studio/PreviewPlayer.h"

#include <algorithm>

namespace vec::studio {
namespace {

// A stall longer than this (a dialog, a slow start) moves the water on by this much only.
constexpr int64_t kLongestStepMs = 4 * WaterPreview::kFrameMs;

}  // namespace

PreviewPlayer::PreviewPlayer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(static_cast<int>(WaterPreview::kFrameMs));
  connect(&timer_, &QTimer::timeout, this, &PreviewPlayer::OnTimer);
}

void PreviewPlayer::Start(Picture& picture) {
  preview_.Start(picture);
  emit frameReady(preview_.Frame());
}

void PreviewPlayer::Restart() {
  if (!preview_.Started()) return;
  preview_.Restart();
  emit frameReady(preview_.Frame());
}

void PreviewPlayer::Play() {
  if (timer_.isActive() || !preview_.Started()) return;
  clock_.start();
  timer_.start();
  emit playingChanged(true);
}

void PreviewPlayer::Pause() {
  if (!timer_.isActive()) return;
  timer_.stop();
  emit playingChanged(false);
}

void PreviewPlayer::Step() {
  if (!preview_.Started()) return;
  preview_.Advance(WaterPreview::kFrameMs);
  emit frameReady(preview_.Frame());
}

void PreviewPlayer::SetSpeed(int percent) {
  preview_.SetSpeed(percent);
}

void PreviewPlayer::OnTimer() {
  const int64_t elapsed = std::clamp<int64_t>(clock_.restart(), 1, kLongestStepMs);
  preview_.Advance(static_cast<uint32_t>(elapsed));
  ++frames_;
  emit frameReady(preview_.Frame());
}

}  // namespace vec::studio
