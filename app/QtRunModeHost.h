#pragma once
// The vecsaver program's host: the Qt application object, message boxes, the slideshow
// window, the designed configuration windows and the preview.

#include <QApplication>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/RunModes.h"
#include "configui/FormDefinitions.h"

namespace vec {

class QtRunModeHost final : public IRunModeHost {
 public:
  // `modeWord` is the mode argument as given (CommandLine::modeWord), which decides with the
  // saver's file name whether the configuration side may keep the user's settings.
  QtRunModeHost(int& argc, char** argv, std::string modeWord)
      : argc_(argc), argv_(argv), modeWord_(std::move(modeWord)) {}
  ~QtRunModeHost() override;

  void InitApplication() override;
  void Information(std::string_view text) override;
  void Error(std::string_view text) override;
  void ShowSlideshow(SaverSettings& settings, const SaverTarget& target) override;
  void LoadDefinitions(const std::string& uiFile) override;
  void ShowDesignedForm(SaverSettings& settings, std::string_view formName) override;
  void DrawPreview(SaverSettings& settings, std::string_view modeArgument) override;

 private:
  // A box needs someone to close it; on a platform without a screen the text only goes to
  // the standard error stream.
  bool CanShowBoxes() const;

  int& argc_;
  char** argv_;
  std::string modeWord_;
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<FormCollection> forms_;
  std::optional<std::string> formsError_;  // why the UI definition could not be read
};

// Set when SIGTERM, SIGINT, SIGHUP or SIGUSR1 arrived; the run then ends, removing its
// extracted files.
bool TerminationRequested();
// Routes those signals to closing every window (call after InitApplication).
void InstallTerminationHandler();

}  // namespace vec
