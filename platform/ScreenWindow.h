#pragma once
// The slideshow on screen: a borderless full-screen window on the primary screen (or a
// child of a screen-saver daemon's window) that shows what the show presents and forwards
// mouse and key events to the slideshow form. Full screen, every other monitor is covered
// by a black window. Frames are rendered at the monitor's device pixels, so a scaled
// display shows them unscaled.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "slideshow/ShowDisplay.h"
#include "slideshow/Slideshow.h"

namespace vec {

class ScreenWidget;

// The display of the show on a Qt window. Frames are kept in memory (ScreenDisplay) and
// painted from there without copying.
class QtDisplay final : public ScreenDisplay {
 public:
  QtDisplay(ScreenWidget& widget, int32_t width, int32_t height)
      : ScreenDisplay(width, height), widget_(widget) {}
  void ProcessMessages() override;
  void WaitMessages() override;
  void ShowCursor(bool visible) override;
  // The refresh rate of the screen the show is on; 60 where it cannot be read.
  int32_t FramesPerSecondShown() const override;

  // Runs on every pass of the message pump (music notifications, daemon window checks).
  std::function<void()> onPump;

 protected:
  void Presented() override;

 private:
  ScreenWidget& widget_;
};

class ScreenWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenWidget(bool acceptInput);
  void SetDisplay(QtDisplay* display) { display_ = display; }
  void SetForm(Slideshow* form) { form_ = form; }
  // Device pixels per logical pixel of the frames shown and of the mouse positions passed on.
  void SetDevicePixelRatio(double ratio) { ratio_ = ratio; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool acceptInput_;
  double ratio_ = 1.0;
  QtDisplay* display_ = nullptr;
  Slideshow* form_ = nullptr;
};

// Where and how the show runs.
struct SlideshowTarget {
  enum class Kind { FullScreen, RootWindow, Window };
  Kind kind = Kind::FullScreen;
  uint64_t windowId = 0;  // Kind::Window
  bool daemon = false;    // no input; ends on terminate; survives stop/continue
  // Polled from the message pump: true ends the show (a terminating signal).
  std::function<bool()> terminated;
};

// Runs the slideshow form modally on `settings` (a QApplication must exist) and returns when
// it has closed.
void RunSlideshowWindow(const SlideshowOptions& settings, const SlideshowTarget& target);

}  // namespace vec
