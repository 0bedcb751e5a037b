#include "platform/ScreenCovers.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWindow>
#include <algorithm>

namespace vec {

std::unique_ptr<QWidget> MakeBlackWindow(QScreen*) {
  auto window = std::make_unique<QWidget>();
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, Qt::black);
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setCursor(Qt::BlankCursor);
  return window;
}

void ShowFullScreenOn(QWidget& window, QScreen* screen) {
  window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  if (screen) {
    window.winId();  // the native window, so it can be placed on a monitor before it shows
    window.windowHandle()->setScreen(screen);
    window.setGeometry(screen->geometry());
  }
  window.showFullScreen();
  window.raise();
}

ScreenCovers::ScreenCovers(QScreen* showScreen, CoverFactory factory, ShowScreenChanged moved)
    : showScreen_(showScreen), factory_(std::move(factory)), moved_(std::move(moved)) {
  for (QScreen* screen : QGuiApplication::screens()) Cover(screen);
  connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenCovers::Cover);
  connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenCovers::ScreenGone);
}

ScreenCovers::~ScreenCovers() = default;

void ScreenCovers::Cover(QScreen* screen) {
  if (!screen || screen == showScreen_ || CoverOf(screen)) return;
  std::unique_ptr<QWidget> window = factory_(screen);
  if (!window) return;
  ShowFullScreenOn(*window, screen);
  covers_.emplace_back(screen, std::move(window));
}

void ScreenCovers::ScreenGone(QScreen* screen) {
  std::erase_if(covers_, [&](const auto& cover) { return cover.first == screen; });
  if (screen != showScreen_) return;
  QScreen* next = QGuiApplication::primaryScreen();
  if (next == screen) next = nullptr;
  for (QScreen* candidate : QGuiApplication::screens()) {
    if (!next && candidate != screen) next = candidate;
  }
  showScreen_ = next;
  if (!next) return;
  std::erase_if(covers_, [&](const auto& cover) { return cover.first == next; });
  if (moved_) moved_(next);
}

std::vector<QScreen*> ScreenCovers::CoveredScreens() const {
  std::vector<QScreen*> screens;
  for (const auto& cover : covers_) screens.push_back(cover.first);
  return screens;
}

QWidget* ScreenCovers::CoverOf(const QScreen* screen) const {
  const auto it = std::find_if(covers_.begin(), covers_.end(),
                               [&](const auto& cover) { return cover.first == screen; });
  return it == covers_.end() ? nullptr : it->second.get();
}

}  // namespace vec
