#include "app/QtRunModeHost.h"

#include <fcntl.h>
#include <unistd.h>

#include <QMessageBox>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <iostream>

#include "base/TextEncoding.h"
#include "package/Folders.h"
#include "platform/ScreenWindow.h"
#include "platform/X11Preview.h"
#include "slideshow/ShowAdapters.h"

namespace vec {
namespace {

std::atomic<bool> g_terminate{false};
int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
  g_terminate.store(true);
  if (g_signalPipe[1] >= 0) {
    char c = 1;
    [[maybe_unused]] ssize_t n = write(g_signalPipe[1], &c, 1);
  }
}

}  // namespace

bool TerminationRequested() {
  return g_terminate.load();
}

void InstallTerminationHandler() {
  if (g_signalPipe[0] < 0 && pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction sa {};
  sa.sa_handler = OnTerminate;
  sigemptyset(&sa.sa_mask);
  // Every signal that would otherwise end the process at once ends the run instead, so
  // the extracted files are removed: a terminate, an interrupt, a hang-up (the terminal or
  // session went away) and the first user signal (which some lockers send).
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaction(sig, &sa, nullptr);
  if (QCoreApplication::instance()) {
    // Owned by the application object, which outlives every modal form.
    auto* notifier =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
      char buf[16];
      while (read(g_signalPipe[0], buf, sizeof buf) > 0) {
      }
      QApplication::closeAllWindows();
      QCoreApplication::quit();
    });
  }
}

QtRunModeHost::~QtRunModeHost() = default;

void QtRunModeHost::InitApplication() {
  if (!app_) app_ = std::make_unique<QApplication>(argc_, argv_);
  QApplication::setApplicationDisplayName(" ");
  InstallTerminationHandler();
}

bool QtRunModeHost::CanShowBoxes() const {
  if (!app_) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

void QtRunModeHost::Information(std::string_view text) {
  std::cerr << "vecsaver: " << text << "\n";
  if (CanShowBoxes() && !TerminationRequested())
    QMessageBox::information(nullptr, " ", QString::fromStdString(Cp1252ToUtf8(text)));
}

void QtRunModeHost::Error(std::string_view text) {
  std::cerr << "vecsaver: " << text << "\n";
  if (CanShowBoxes() && !TerminationRequested())
    QMessageBox::critical(nullptr, " ", QString::fromStdString(Cp1252ToUtf8(text)));
}

void QtRunModeHost::ShowSlideshow(SaverSettings& project, const SaverTarget& target) {
  SlideshowTarget where;
  where.kind = target.kind == SaverTarget::Kind::Window       ? SlideshowTarget::Kind::Window
               : target.kind == SaverTarget::Kind::RootWindow ? SlideshowTarget::Kind::RootWindow
                                                              : SlideshowTarget::Kind::FullScreen;
  where.windowId = target.windowId;
  where.daemon = target.daemon;
  where.terminated = TerminationRequested;
  if (TerminationRequested()) return;
  RunSlideshowWindow(ShowSettingsFrom(project, PeekTempFolder()), where);
}

void QtRunModeHost::ShowDesignedForm(SaverSettings& project, std::string_view formName) {
  // The designed windows are not part of the program yet.
}

void QtRunModeHost::DrawPreview(SaverSettings& project, std::string_view modeArgument) {
  DrawPreviewFile(project.Setting.PreviewFile, modeArgument);
}

}  // namespace vec
