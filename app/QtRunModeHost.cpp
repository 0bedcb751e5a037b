#include "app/QtRunModeHost.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QUrl>
#include <atomic>
#include <csignal>
#include <iostream>

#include "base/TextEncoding.h"
#include "configui/ApplicationTitle.h"
#include "configui/ConfigWindow.h"
#include "configui/ConfigWindowSettings.h"
#include "configui/SettingsAccess.h"
#include "configui/SettingsDialog.h"
#include "configui/Wallpaper.h"
#include "configui/controls/PictureFiles.h"
#include "graphics/ImageFile.h"
#include "package/Folders.h"
#include "package/UserSettings.h"
#include "picture/Picture.h"
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

// What the actions of a designed window reach on the desktop.
// The current picture drawn for the desktop: a picture file's picture, or any JPEG, BMP or
// GIF as it decodes.
Status SetPictureAsWallpaper(const std::string& picturePath, std::string& done) {
  ErrorOr<WallpaperReport> report = Error{};
  if (KindOfPictureFile(picturePath) == PictureFileKind::Picture) {
    Picture picture;
    if (!picture.LoadFromFile(picturePath))
      return Error::Make(ErrorCode::Corrupt, "File: " + picturePath + "\r\n" + picture.LastError());
    report = SetWallpaper(picture.image, OwnPath());
  } else {
    ErrorOr<BlendBitmap> image = LoadImageFromFile(picturePath);
    if (!image)
      return Error::Make(ErrorCode::Corrupt,
                         "File: " + picturePath + "\r\n" + image.error().message);
    report = SetWallpaper(image.value(), OwnPath());
  }
  if (!report.ok()) return report.release_error();
  // A wallpaper that was set needs no word; only a desktop that could not be told does.
  if (!report->applied)
    done =
        "The picture was written to " + report->file + ", but no desktop could be told to show it.";
  return {};
}

ConfigWindowServices StandardConfigServices(QtRunModeHost& host, const SettingsAccess& access) {
  ConfigWindowServices services;
  services.applyUserChoices = [access](SaverSettings& settings) {
    DialogSettingsRead read = ReadDialogSettings(settings.Setting, access);
    if (read.allowed) ApplyDialogSettings(read.values, settings.Setting);
  };
  services.openSettings = [access](QWidget* parent) {
    if (RunModes* run = CurrentRun()) RunSettingsDialog(parent, run->Settings().Setting, access);
  };
  services.setWallpaper = [&host](QWidget*, const std::string& picture) {
    std::string done;
    if (Status set = SetPictureAsWallpaper(picture, done); !set.ok())
      host.Error(set.error().message);
    else if (!done.empty())
      host.Information(done);
  };
  services.openUrl = [](const std::string& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(Cp1252ToUtf8(address))));
  };
  services.previewPicture = [](const std::string& picture) {
    if (RunModes* run = CurrentRun()) run->ShowSinglePicture(picture);
  };
  services.confirm = [](QWidget* parent, const std::string& question) {
    return QMessageBox::question(parent, ApplicationTitle(),
                                 QString::fromStdString(Cp1252ToUtf8(question)),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  services.showError = [&host](QWidget*, const std::string& message) { host.Error(message); };
  return services;
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
  SetApplicationTitle(" ");
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
    QMessageBox::information(nullptr, ApplicationTitle(),
                             QString::fromStdString(Cp1252ToUtf8(text)));
}

void QtRunModeHost::Error(std::string_view text) {
  std::cerr << "vecsaver: " << text << "\n";
  if (CanShowBoxes() && !TerminationRequested())
    QMessageBox::critical(nullptr, ApplicationTitle(), QString::fromStdString(Cp1252ToUtf8(text)));
}

void QtRunModeHost::ShowSlideshow(SaverSettings& settings, const SaverTarget& target) {
  SlideshowTarget where;
  where.kind = target.kind == SaverTarget::Kind::Window       ? SlideshowTarget::Kind::Window
               : target.kind == SaverTarget::Kind::RootWindow ? SlideshowTarget::Kind::RootWindow
                                                              : SlideshowTarget::Kind::FullScreen;
  where.windowId = target.windowId;
  where.daemon = target.daemon;
  where.terminated = TerminationRequested;
  if (TerminationRequested()) return;
  RunSlideshowWindow(ShowSettingsFrom(settings, PeekTempFolder()), where);
}

void QtRunModeHost::LoadDefinitions(const std::string& uiFile) {
  forms_ = std::make_unique<FormCollection>();
  formsError_.reset();
  // Only a configuration window needs the definitions; a damaged file is reported there.
  if (Status loaded = forms_->LoadDefinitions(uiFile); !loaded.ok())
    formsError_ = loaded.error().message;
}

void QtRunModeHost::ShowDesignedForm(SaverSettings& settings, std::string_view formName) {
  if (!forms_ || formsError_) {
    Error("The window definitions of this screensaver cannot be read: " +
          formsError_.value_or("no definition file was loaded") + ".");
    return;
  }
  if (UsesProductNameAsTitle(OwnPath(), modeWord_))
    SetApplicationTitle(QString::fromStdString(Cp1252ToUtf8(settings.Setting.ProductName)));
  ConfigWindowContext context;
  context.forms = forms_.get();
  context.settings = &settings;
  const SettingsAccess access = SettingsAccessFor(OwnPath(), modeWord_);
  context.settingsAccess = access.allowed;
  context.userSettings = access.files;
  context.services = StandardConfigServices(*this, access);
  if (Status shown = vec::ShowDesignedForm(context, formName); !shown.ok())
    Error("The window \"" + std::string(formName) + "\" cannot be shown: " + shown.error().message);
}

void QtRunModeHost::DrawPreview(SaverSettings& settings, std::string_view modeArgument) {
  DrawPreviewFile(settings.Setting.PreviewFile, modeArgument);
}

}  // namespace vec
