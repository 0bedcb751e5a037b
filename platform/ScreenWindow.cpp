#include "platform/ScreenWindow.h"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <chrono>
#include <climits>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "base/TextEncoding.h"
#include "graphics/AspectFit.h"
#include "package/Folders.h"
#include "platform/DevicePixels.h"
#include "platform/ScreenCovers.h"
#include "platform/SdlAudio.h"
#include "platform/X11Window.h"
#include "slideshow/ResumableClock.h"
#include "slideshow/ShowAdapters.h"

namespace vec {

namespace {

QImage WrapPixels(const BlendBitmap& bmp, double ratio) {
  // The pixels are blue, green, red, fourth byte: RGB32 on a little-endian machine. The
  // image only borrows the buffer; it lives no longer than this paint. Its pixels are the
  // monitor's device pixels, so the painter draws them one to one.
  QImage image(reinterpret_cast<const uchar*>(bmp.Bits()), bmp.Width(), bmp.Height(),
               static_cast<qsizetype>(bmp.Width()) * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  return image;
}

// The device pixels of a logical window's 4:3 area.
Rect DirectArea(int32_t logicalWidth, int32_t logicalHeight, double ratio) {
  const PixelSize pixels = DevicePixelSize(logicalWidth, logicalHeight, ratio);
  return LetterboxArea(pixels.width, pixels.height);
}

QRectF ToLogical(const Rect& devicePixels, double ratio) {
  const double r = UsableRatio(ratio);
  return {devicePixels.left / r, devicePixels.top / r, devicePixels.Width() / r,
          devicePixels.Height() / r};
}

// Black over the parts of `whole` outside `inner`, which lies inside it.
void FillAround(QPainter& painter, const QRectF& whole, const QRectF& inner) {
  painter.fillRect(QRectF(whole.left(), whole.top(), whole.width(), inner.top() - whole.top()),
                   Qt::black);
  painter.fillRect(
      QRectF(whole.left(), inner.bottom(), whole.width(), whole.bottom() - inner.bottom()),
      Qt::black);
  painter.fillRect(QRectF(whole.left(), inner.top(), inner.left() - whole.left(), inner.height()),
                   Qt::black);
  painter.fillRect(
      QRectF(inner.right(), inner.top(), whole.right() - inner.right(), inner.height()), Qt::black);
}

// The device pixels of a monitor's whole area.
PixelSize ScreenPixels(const QScreen* screen) {
  if (!screen) return {1024, 768};
  const QRect geometry = screen->geometry();
  return DevicePixelSize(geometry.width(), geometry.height(), screen->devicePixelRatio());
}

bool CanShowBoxes() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

class QtMessages final : public IShowMessages {
 public:
  explicit QtMessages(QWidget* parent) : parent_(parent) {}
  void ShowError(const std::string& text) override {
    std::cerr << "vecsaver: " << text << "\n";
    if (CanShowBoxes())
      QMessageBox::critical(parent_, " ", QString::fromStdString(Cp1252ToUtf8(text)));
  }

 private:
  QWidget* parent_;
};

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<size_t>(n));
  return path.substr(0, path.find_last_of('/') + 1);
}

// SIGCONT after a daemon's SIGSTOP: the clock leaves the stopped time out.
ResumableClock* g_resumable = nullptr;
void OnContinue(int) {
  if (g_resumable) g_resumable->MarkResumed();
}

class ContinueHandler {
 public:
  explicit ContinueHandler(ResumableClock& clock) {
    g_resumable = &clock;
    struct sigaction sa {};
    sa.sa_handler = OnContinue;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGCONT, &sa, &old_);
  }
  ~ContinueHandler() {
    sigaction(SIGCONT, &old_, nullptr);
    g_resumable = nullptr;
  }

 private:
  struct sigaction old_ {};
};

}  // namespace

void QtDisplay::Presented() {
  widget_.update();
}

void QtDisplay::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (onPump) onPump();
}

void QtDisplay::WaitMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QThread::msleep(20);
  if (onPump) onPump();
}

int32_t QtDisplay::FramesPerSecondShown() const {
  constexpr int32_t kUnknownRate = 60;
  const QScreen* screen = widget_.screen();
  const double rate = screen ? screen->refreshRate() : 0.0;
  // Some servers report nothing, or nonsense, for a virtual screen.
  return rate >= 20.0 && rate <= 1000.0 ? static_cast<int32_t>(rate + 0.5) : kUnknownRate;
}

void QtDisplay::ShowCursor(bool visible) {
  widget_.setCursor(visible ? Qt::ArrowCursor : Qt::BlankCursor);
}

ScreenWidget::ScreenWidget(bool acceptInput) : acceptInput_(acceptInput) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(acceptInput);
  if (acceptInput) setFocusPolicy(Qt::StrongFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
}

void ScreenWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!display_) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  if (display_->Direct()) {
    const BlendBitmap& surface = display_->Surface();
    if (surface.Empty()) {
      painter.fillRect(rect(), Qt::black);
    } else {
      // The surface is a 4:3 picture mode: scaled to the window's largest 4:3 area, found in
      // device pixels, with black bars around it.
      const QRectF area = ToLogical(DirectArea(width(), height(), ratio_), ratio_);
      painter.drawImage(area, WrapPixels(surface, ratio_));
      FillAround(painter, QRectF(rect()), area);
    }
  } else {
    const BlendBitmap& screen = display_->Screen();
    painter.drawImage(QPointF(0, 0), WrapPixels(screen, ratio_));
    // Beyond the image (a window larger than the screen size the show took) stays black.
    const double imageWidth = screen.Width() / UsableRatio(ratio_);
    const double imageHeight = screen.Height() / UsableRatio(ratio_);
    if (width() > imageWidth)
      painter.fillRect(QRectF(imageWidth, 0, width() - imageWidth, height()), Qt::black);
    if (height() > imageHeight)
      painter.fillRect(QRectF(0, imageHeight, width(), height() - imageHeight), Qt::black);
  }
}

void ScreenWidget::mouseMoveEvent(QMouseEvent* event) {
  if (acceptInput_ && form_) {
    // The form's few-pixel threshold is in device pixels, as its frames are.
    const QPointF p = event->position();
    form_->PointerMoved(ToDevicePixels(p.x(), ratio_), ToDevicePixels(p.y(), ratio_));
  }
}

void ScreenWidget::mousePressEvent(QMouseEvent*) {
  if (acceptInput_ && form_) form_->PointerPressed();
}

void ScreenWidget::keyPressEvent(QKeyEvent* event) {
  if (!acceptInput_ || !form_) return;
  if (event->key() == Qt::Key_F1) form_->KeyPressed(Slideshow::kF1Key);
  // A key that produces a character (Enter, Escape and Backspace included) ends the show;
  // function keys, arrows, modifiers and Delete do not (the form tells Delete's 127 apart).
  const QString text = event->text();
  if (!text.isEmpty()) form_->CharacterTyped(text.at(0).unicode());
}

void ScreenWidget::closeEvent(QCloseEvent* event) {
  // Closing the window (the window manager, or the terminate handler's closeAllWindows) is a
  // close request; the form's loop acts on it.
  if (form_) {
    form_->RequestClose();
    event->ignore();
  } else {
    event->accept();
  }
}

namespace {

// Where the show draws: a daemon's window (or the root window) by its id, or the primary
// monitor, and the size in device pixels.
struct ShowPlace {
  bool embedded = false;
  uint64_t parentId = 0;
  int32_t width = 0, height = 0;
};

std::optional<ShowPlace> FindShowPlace(const SlideshowTarget& target, X11Connection& x11) {
  ShowPlace place;
  place.embedded = target.kind != SlideshowTarget::Kind::FullScreen;
  if (!place.embedded) {
    const PixelSize pixels = ScreenPixels(QGuiApplication::primaryScreen());
    place.width = pixels.width;
    place.height = pixels.height;
    return place;
  }
  place.parentId =
      target.kind == SlideshowTarget::Kind::RootWindow ? x11.RootWindowId() : target.windowId;
  const auto state = x11.Query(place.parentId);
  if (!state) {
    std::cerr << "vecsaver: window 0x" << std::hex << place.parentId << std::dec
              << " does not exist\n";
    return std::nullopt;
  }
  place.width = state->width;
  place.height = state->height;
  return place;
}

// Puts the show's widget inside the daemon's window, or full screen on the primary monitor.
// Returns the wrapper of the daemon's window, which must outlive the widget's parenting.
std::unique_ptr<QWindow> PlaceShowWidget(ScreenWidget& widget, const ShowPlace& place) {
  if (place.embedded) {
    widget.setWindowFlags(Qt::FramelessWindowHint);
    widget.winId();  // the native window, so it can be given a parent
    std::unique_ptr<QWindow> foreign(QWindow::fromWinId(static_cast<WId>(place.parentId)));
    widget.windowHandle()->setParent(foreign.get());
    widget.setGeometry(0, 0, place.width, place.height);
    widget.show();
    return foreign;
  }
  // A one-picture show started from a configuration window lies over that modal window
  // and must take the input itself.
  widget.setWindowModality(Qt::ApplicationModal);
  QScreen* screen = QGuiApplication::primaryScreen();
  widget.SetDevicePixelRatio(screen ? screen->devicePixelRatio() : 1.0);
  ShowFullScreenOn(widget, screen);
  widget.activateWindow();
  return nullptr;
}

// The sound device and the players on it, when the show plays sounds or music.
struct ShowAudio {
  std::unique_ptr<SdlAudio> device;
  std::unique_ptr<SoundAdapter> sounds;
  std::unique_ptr<MusicAdapter> music;
};

ShowAudio OpenShowAudio(const SlideshowOptions& settings, IClock& clock) {
  ShowAudio audio;
  if (!settings.Sound && !settings.Music) return audio;
  audio.device = std::make_unique<SdlAudio>();
  audio.sounds = std::make_unique<SoundAdapter>(
      *audio.device, clock,
      SoundSearchPaths{settings.TempFolder, SharedLibrarySubfolder("sounds/"), ExecutableFolder()});
  audio.sounds->SetMessagePump([] { QCoreApplication::processEvents(); });
  audio.music = std::make_unique<MusicAdapter>(*audio.device);
  return audio;
}

// Every monitor but the show's goes black and passes its input to the form like the show's
// window; when monitors come or go, the show moves to the primary one and takes its size.
std::unique_ptr<ScreenCovers> CoverOtherScreens(ScreenWidget& widget, QtDisplay& display,
                                                Slideshow& form, bool acceptInput) {
  auto makeCover = [&form, acceptInput](QScreen* screen) -> std::unique_ptr<QWidget> {
    auto cover = std::make_unique<ScreenWidget>(acceptInput);
    cover->SetDevicePixelRatio(screen->devicePixelRatio());
    cover->SetForm(&form);
    cover->setCursor(Qt::BlankCursor);
    return cover;
  };
  auto moveShow = [&widget, &display, &form](QScreen* screen) {
    widget.SetDevicePixelRatio(screen->devicePixelRatio());
    ShowFullScreenOn(widget, screen);
    const PixelSize pixels = ScreenPixels(screen);
    display.ResizeScreen(pixels.width, pixels.height);
    form.ScreenResized();
  };
  auto covers =
      std::make_unique<ScreenCovers>(QGuiApplication::primaryScreen(), makeCover, moveShow);
  widget.activateWindow();
  return covers;
}

// Follows the daemon's window from the message pump: its size, and its going away, which
// ends the show. Checked every 50 ms, not on every pass, so the show ends well within
// 100 ms of the window going away.
class DaemonWindowWatch {
 public:
  DaemonWindowWatch(X11Connection& x11, uint64_t windowId, ScreenWidget& widget, QtDisplay& display,
                    Slideshow& form)
      : x11_(x11), windowId_(windowId), widget_(widget), display_(display), form_(form) {}

  void Check() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck_ < std::chrono::milliseconds(50)) return;
    lastCheck_ = now;
    const auto state = x11_.Query(windowId_);
    if (!state) {
      form_.RequestClose();
      return;
    }
    if (state->width != display_.ScreenWidth() || state->height != display_.ScreenHeight()) {
      display_.ResizeScreen(state->width, state->height);
      widget_.setGeometry(0, 0, state->width, state->height);
      form_.ScreenResized();
    }
  }

 private:
  X11Connection& x11_;
  uint64_t windowId_;
  ScreenWidget& widget_;
  QtDisplay& display_;
  Slideshow& form_;
  std::chrono::steady_clock::time_point lastCheck_ = std::chrono::steady_clock::now();
};

}  // namespace

void RunSlideshowWindow(const SlideshowOptions& settings, const SlideshowTarget& target) {
  X11Connection x11;
  const std::optional<ShowPlace> place = FindShowPlace(target, x11);
  if (!place) return;
  const bool acceptInput = !target.daemon && !place->embedded;

  ScreenWidget widget(acceptInput);
  const std::unique_ptr<QWindow> foreign = PlaceShowWidget(widget, *place);
  QtDisplay display(widget, place->width, place->height);
  widget.SetDisplay(&display);

  SteadyClock steady;
  ResumableClock clock(steady);
  ContinueHandler continueHandler(clock);
  ShowAudio audio = OpenShowAudio(settings, clock);
  QtMessages messages(&widget);
  DiskPictureFiles files;
  EngineAdapter engine(clock, settings.TempFolder);

  SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.messages = &messages;
  services.files = &files;
  services.engine = &engine;
  services.sounds = audio.sounds.get();
  services.music = audio.music.get();
  services.effect = TableEffect;

  Slideshow form(settings, std::move(services));
  widget.SetForm(&form);
  std::unique_ptr<ScreenCovers> covers;
  if (!place->embedded) covers = CoverOtherScreens(widget, display, form, acceptInput);

  std::optional<DaemonWindowWatch> watch;
  if (place->embedded) watch.emplace(x11, place->parentId, widget, display, form);
  display.onPump = [&] {
    form.MusicFinished();
    if (target.terminated && target.terminated()) form.RequestClose();
    if (watch) watch->Check();
  };

  form.ShowModal();
  covers.reset();
  widget.SetForm(nullptr);
  widget.hide();
  // The daemon's window is not ours: let go of it before its wrapper goes, which would
  // otherwise take our window with it.
  if (foreign) widget.windowHandle()->setParent(nullptr);
  QCoreApplication::processEvents();
}

}  // namespace vec
