#pragma once
// What a designed window does while it is open: the author's placeholders filled in, the
// clickable controls bound to their actions, thumbnail grids and previews filled with the
// saver's pictures, the current picture kept, and the current picture and the favourites
// read from and written back to the user settings file.

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "configui/Placeholders.h"
#include "package/UserSettings.h"

class QWidget;

namespace vec {

class DesignedWindow;
class FormCollection;
class SaverSettings;
struct BuiltControl;

// The services actions reach outside the window; each may be empty (the action then does
// nothing), so tests can record what a click asked for.
struct ConfigWindowServices {
  std::function<void(const std::string& address)> openUrl;             // "Open URL"
  std::function<void(const std::string& picturePath)> previewPicture;  // "Preview selected file"
  std::function<void(QWidget* parent)> openSettings;                   // "Open setting"
  std::function<bool(QWidget* parent, const std::string& question)> confirm;  // Yes/No box
  std::function<void(QWidget* parent, const std::string& picturePath)> setWallpaper;
  std::function<void(QWidget* parent, const std::string& message)> showError;
  // Copies the user's choices into the saver settings before a window is shown.
  std::function<void(SaverSettings& settings)> applyUserChoices;
};

struct ConfigWindowContext {
  const FormCollection* forms = nullptr;
  SaverSettings* settings = nullptr;
  bool settingsAccess = false;     // whether the user settings file is read and written
  UserSettingsFiles userSettings;  // where the user's settings are read and saved
  ConfigWindowServices services;
};

inline constexpr std::string_view kWallpaperQuestion =
    "You are about to set the selected picture as wallpaper.\r\nDo you want to proceed?";

// The behaviour of one open designed window.
class ConfigWindow : public QObject {
 public:
  ConfigWindow(ConfigWindowContext& context, DesignedWindow& window);

  // The markers in the window's caption, and in the captions of labels, bitmap buttons and
  // image buttons and the texts of memos lying on the window or on panels (not inside tab
  // sheets, page controls or other containers).
  void FillPlaceholders();
  // Everything done as the window is shown: the start index, each control prepared in
  // creation order (an error in one skips only that control), visibility from the tags, and
  // the current picture selected.
  void Prepare();
  // Makes a picture current (kept within the pictures) and shows it in every preview.
  void SelectPicture(int32_t index);
  // Runs the action bound to the control named `controlName`, if there is one.
  void ExecuteAction(const std::string& controlName);
  // Everything done as the window closes: the index and the favourites written back, the
  // rest of the user's file kept, the file replaced whole or not at all; a file that cannot
  // be read or written is reported and left as it was.
  void Finish();

  int32_t CurrentIndex() const { return currentIndex_; }
  PlaceholderValues Placeholders() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PrepareControl(BuiltControl& control);
  // Makes a click on the widget run the action of the control named `name`.
  void BindClick(QWidget* widget, const std::string& name);
  // Runs the action once the click has been delivered, so a window opened or closed by
  // the action never starts inside the control's own event handling.
  void RunActionLater(const std::string& name);
  int32_t PictureCount() const;

  ConfigWindowContext& context_;
  DesignedWindow& window_;
  int32_t currentIndex_ = 0;
  // The control (label, image, panel) that took the left press of a click in progress.
  QObject* pressed_ = nullptr;
};

// The classes whose click runs an action.
bool IsBindableClass(std::string_view className);

// Builds the designed window `formName` (blanks and line breaks around the name ignored),
// fills its placeholders, copies the user's choices into the settings and shows it modally;
// returns when it has closed. A missing form or one that cannot be read is returned as an
// error and nothing is shown.
Status ShowDesignedForm(ConfigWindowContext& context, std::string_view formName,
                        QWidget* parent = nullptr);

}  // namespace vec
