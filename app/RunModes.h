#pragma once
// The runtime's entry point and run modes. The logic here needs no window toolkit: message
// boxes and the forms of the later stages (the slideshow, the designed configuration window,
// the preview) are reached through IRunModeHost, which the program implements with Qt and
// tests implement with a recorder.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "package/SaverSettings.h"

namespace vec {

// Modal message boxes with one OK button.
class IMessages {
 public:
  virtual ~IMessages() = default;
  virtual void Information(std::string_view text) = 0;
  virtual void Error(std::string_view text) = 0;
};

// What the run modes hand over to. Every call happens on the main thread and returns when
// its form has closed.
class IRunModeHost : public IMessages {
 public:
  // Makes the application object with the title " " (not in the password mode).
  virtual void InitApplication() {}
  // Reads the user-interface definition (the forms collection) from the extracted file.
  virtual void LoadDefinitions(const std::string& /*uiFile*/) {}
  // Shows the slideshow form modally on `settings` (its Checked list and user settings are
  // already applied) and returns when it closes.
  virtual void ShowSlideshow(SaverSettings& /*settings*/, const SaverTarget& /*target*/) {}
  // Shows the designed window `formName` ("MainWindow") modally.
  virtual void ShowDesignedForm(SaverSettings& /*settings*/, std::string_view /*formName*/) {}
  // Draws the saver's PreviewFile (not empty) into the window named by `modeArgument` (a
  // decimal handle, not validated here) and returns; the extracted files are removed after it.
  virtual void DrawPreview(SaverSettings& /*settings*/, std::string_view /*modeArgument*/) {}
};

inline constexpr std::string_view kNoImageMessage = "This screensaver does not contain any image.";
inline constexpr std::string_view kMainWindowName = "MainWindow";

// One run of the program: the own path, the settings, the host.
class RunModes {
 public:
  RunModes(IRunModeHost& host, std::string ownPath, SaverTarget target = {});
  ~RunModes();
  RunModes(const RunModes&) = delete;
  RunModes& operator=(const RunModes&) = delete;

  const std::string& OwnPath() const { return ownPath_; }
  SaverSettings& Settings() { return *settings_; }

  // Extracts the package into the run's folder, loads the settings and the UI definition.
  // False (after a message naming the file) when the own file holds no package.
  bool PreparePackage();
  void RunSaverMode();
  void RunConfigMode();
  void RunPreviewMode(std::string_view modeArgument);

  // The slideshow on `settings`: the "no image" message for an empty picture list; otherwise
  // every picture checked, the user settings applied when asked, and the slideshow shown.
  void RunSaver(SaverSettings& settings, bool applyUserSettings);
  // One picture full screen with the running saver's display settings, sound on, music off.
  void ShowSinglePicture(const std::string& picturePath);

 private:
  IRunModeHost& host_;
  std::string ownPath_;
  SaverTarget target_;
  std::unique_ptr<SaverSettings> settings_;
  bool prepared_ = false;
};

// The run in progress (set by RunFromCommandLine while a mode runs), for the configuration window's
// "show this picture" action; nullptr outside a run.
RunModes* CurrentRun();

// The whole program: parses the command line, picks the mode and runs it. `exePath` is the
// executable's path as the system reports it. Always returns 0.
int RunFromCommandLine(const std::vector<std::string>& args, IRunModeHost& host,
                       const std::string& exePath, const char* xscreensaverWindow = nullptr);

}  // namespace vec
