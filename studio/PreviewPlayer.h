#pragma once
// Plays the preview at 30 frames a second: a timer moves the water preview on by the time
// that really passed (at most a few frames' worth, so a stall does not jump the water), and
// each frame is handed to the view. Paused, the preview stands still; a step moves it on by
// one frame.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "studio/model/WaterPreview.h"

namespace vec::studio {

class PreviewPlayer : public QObject {
  Q_OBJECT

 public:
  explicit PreviewPlayer(QObject* parent = nullptr);

  WaterPreview& Preview() { return preview_; }
  // Starts the preview on a picture (not owned), paused where it was.
  void Start(Picture& picture);
  // Starts the engine again on the same picture (after a change it prepares once).
  void Restart();

  void Play();
  void Pause();
  bool Playing() const { return timer_.isActive(); }
  void Step();
  void SetSpeed(int percent);

  // Frames drawn while playing, and the time they took to draw, for the frame rate shown.
  int64_t FramesDrawn() const { return frames_; }

 signals:
  void frameReady(const vec::BlendBitmap& frame);
  void playingChanged(bool playing);

 private:
  void OnTimer();

  WaterPreview preview_;
  QTimer timer_;
  QElapsedTimer clock_;
  int64_t frames_ = 0;
};

}  // namespace vec::studio
