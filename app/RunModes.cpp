#include "app/RunModes.h"

#include "package/Folders.h"
#include "package/Package.h"
#include "package/UserSettings.h"

namespace vec {
namespace {
RunModes* g_currentRun = nullptr;

class CurrentRunScope {
 public:
  explicit CurrentRunScope(RunModes* run) : saved_(g_currentRun) { g_currentRun = run; }
  ~CurrentRunScope() { g_currentRun = saved_; }
  CurrentRunScope(const CurrentRunScope&) = delete;
  CurrentRunScope& operator=(const CurrentRunScope&) = delete;

 private:
  RunModes* saved_;
};
}  // namespace

RunModes* CurrentRun() {
  return g_currentRun;
}

RunModes::RunModes(IRunModeHost& host, std::string ownPath, SaverTarget target)
    : host_(host),
      ownPath_(std::move(ownPath)),
      target_(target),
      settings_(std::make_unique<SaverSettings>()) {}

RunModes::~RunModes() = default;

bool RunModes::PreparePackage() {
  SetOwnPath(ownPath_);
  ExtractReport report = ExtractPackage(*settings_, ownPath_);
  if (report.error != PackageError::None) {
    host_.Error(PackageErrorMessage(report.error, ownPath_));
    return false;
  }
  prepared_ = true;
  host_.LoadDefinitions(settings_->UISetting.UIFile);
  return true;
}

void RunModes::RunSaverMode() {
  if (PreparePackage()) RunSaver(*settings_, true);
  RemovePackage(*settings_);
}

void RunModes::RunConfigMode() {
  if (PreparePackage()) host_.ShowDesignedForm(*settings_, kMainWindowName);
  RemovePackage(*settings_);
}

void RunModes::RunPreviewMode(std::string_view modeArgument) {
  if (PreparePackage() && !settings_->Setting.PreviewFile.empty())
    host_.DrawPreview(*settings_, modeArgument);
  // The preview run removes what it extracted: the picture stays drawn in the window after
  // the process ends, nothing reads these files again, and each preview would otherwise
  // leave a folder behind.
  RemovePackage(*settings_);
}

void RunModes::RunSaver(SaverSettings& settings, bool applyUserSettings) {
  if (settings.FileList.FileNames.empty()) {
    host_.Information(kNoImageMessage);
    return;
  }
  settings.FileList.CheckAll();
  // Without a user settings file the saver's own settings stand.
  if (applyUserSettings)
    (void)ApplyUserSettingsFile(settings, LocateUserSettings(ownPath_).Current());
  host_.ShowSlideshow(settings, target_);
}

void RunModes::ShowSinglePicture(const std::string& picturePath) {
  SaverSettings single;
  single.FileList.FileNames = {picturePath};
  single.FileList.Checked = {"TRUE"};
  const ShowSettings& from = settings_->Setting;
  single.Setting.Stretch = from.Stretch;
  single.Setting.Proportional = from.Proportional;
  single.Setting.DirectX = from.DirectX;
  single.Setting.DirectXQuality = from.DirectXQuality;
  single.Setting.Speed = from.Speed;
  single.Setting.Sound = true;
  single.Setting.Music = false;
  RunSaver(single, true);
}

int RunFromCommandLine(const std::vector<std::string>& args, IRunModeHost& host,
                       const std::string& exePath, const char* xscreensaverWindow) {
  CommandLine cl = ParseCommandLine(args, xscreensaverWindow);
  // Password change: there is no such service here, so the mode ends at once, before anything
  // is extracted or any folder is made.
  if (IsPasswordMode(cl.modeCode)) return 0;

  const std::string given = cl.packageFile ? *cl.packageFile : exePath;
  std::string ownPath = GetLongPath(given);
  if (ownPath.empty()) ownPath = given;  // reported as unreadable by PreparePackage

  RunModes run(host, ownPath, cl.target);
  CurrentRunScope scope(&run);
  host.InitApplication();
  if (IsSaverMode(cl.modeCode)) run.RunSaverMode();
  if (IsConfigMode(cl.modeCode)) run.RunConfigMode();
  if (IsPreviewMode(cl.modeCode)) run.RunPreviewMode(cl.modeArgument);
  return 0;
}

}  // namespace vec
