#pragma once
// The slideshow on screen: a borderless full-screen window on the primary screen (or a
// child of a screen-saver daemon's window) that shows what the show presents and forwards
// mouse and key events to the slideshow form.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "slideshow/FVEScrSvr.h"
#include "slideshow/ShowDisplay.h"

namespace vec {

class TScreenWidget;

// The display of the show on a Qt window. Frames are kept in memory (TScreenDisplay) and
// painted from there without copying.
class TQtDisplay final : public TScreenDisplay {
 public:
  TQtDisplay(TScreenWidget& widget, int32_t width, int32_t height)
      : TScreenDisplay(width, height), widget_(widget) {}
  void ProcessMessages() override;
  void WaitMessages() override;
  void ShowCursor(bool visible) override;

  // Runs on every pass of the message pump (music notifications, daemon window checks).
  std::function<void()> onPump;

 protected:
  void Presented() override;

 private:
  TScreenWidget& widget_;
};

class TScreenWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit TScreenWidget(bool acceptInput);
  void SetDisplay(TQtDisplay* display) { display_ = display; }
  void SetForm(TVEfmScrSvr* form) { form_ = form; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool acceptInput_;
  TQtDisplay* display_ = nullptr;
  TVEfmScrSvr* form_ = nullptr;
};

// Where and how the show runs.
struct TSlideshowTarget {
  enum class Kind { FullScreen, RootWindow, Window };
  Kind kind = Kind::FullScreen;
  uint64_t windowId = 0;  // Kind::Window
  bool daemon = false;    // no input; ends on terminate; survives stop/continue
  // Polled from the message pump: true ends the show (SIGTERM).
  std::function<bool()> terminated;
};

// Runs the slideshow form modally on `settings` (a QApplication must exist) and returns when
// it has closed.
void RunSlideshowWindow(const TShowSettings& settings, const TSlideshowTarget& target);

}  // namespace vec
