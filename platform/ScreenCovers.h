#pragma once
// Black full-screen windows on every monitor but the one the show runs on, so that no
// desktop content stays visible during the show. Monitors plugged in or out while the show
// runs are followed; when the show's own monitor goes, the primary one takes its place.

#include <QObject>
#include <QScreen>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vec {

class ScreenCovers final : public QObject {
  Q_OBJECT

 public:
  // Makes the (not yet shown) black window for a monitor.
  using CoverFactory = std::function<std::unique_ptr<QWidget>(QScreen*)>;
  // Told when the show has to move to another monitor.
  using ShowScreenChanged = std::function<void(QScreen*)>;

  // Covers every monitor of the application except `showScreen` and follows the
  // application's screenAdded and screenRemoved.
  ScreenCovers(QScreen* showScreen, CoverFactory factory, ShowScreenChanged moved = {});
  ~ScreenCovers() override;
  ScreenCovers(const ScreenCovers&) = delete;
  ScreenCovers& operator=(const ScreenCovers&) = delete;

  // Shows a black window on `screen`, unless it is the show's monitor or already covered.
  void Cover(QScreen* screen);
  // Removes the window of a monitor that has gone. When the show's own monitor goes, the
  // primary one (or any left) becomes the show's, and loses its cover.
  void ScreenGone(QScreen* screen);

  QScreen* ShowScreen() const { return showScreen_; }
  // The covered monitors in the order they were covered.
  std::vector<QScreen*> CoveredScreens() const;
  QWidget* CoverOf(const QScreen* screen) const;

 private:
  QScreen* showScreen_;
  CoverFactory factory_;
  ShowScreenChanged moved_;
  std::vector<std::pair<QScreen*, std::unique_ptr<QWidget>>> covers_;
};

// A plain black borderless window for a monitor.
std::unique_ptr<QWidget> MakeBlackWindow(QScreen* screen);

// Places `window` full screen on `screen` and shows it on top of everything.
void ShowFullScreenOn(QWidget& window, QScreen* screen);

}  // namespace vec
