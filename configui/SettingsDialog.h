#pragma once
// The built-in Settings dialog: picture size, show mode, duration, animation speed, sound,
// music and its play list, and the display choice. Its values come from the user settings
// file over the saver's defaults (ReadDialogSettings) and go back to it on OK
// (WriteDialogSettings); it does not change the loaded settings.
//
// Entry point for the "Open setting" action of a designed window:
//   RunSettingsDialog(window, settings.Setting, SettingsAccessFor(OwnPath(), args));

#include <QDialog>
#include <QString>
#include <functional>

#include "configui/SettingsAccess.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableWidget;

namespace vec {

class SettingsDialog : public QDialog {
 public:
  // Reads the user's values (when access allows) and fills the controls; "OK" is enabled
  // only when access is allowed. The controls carry their form names (cbMusic,
  // txtDuration, tbSpeed, lstMusic, Button1 "OK", ...).
  SettingsDialog(const ShowSettings& settings, SettingsAccess access, QWidget* parent = nullptr);

  // The values as the controls show them, or an error when the duration is not an integer.
  ErrorOr<DialogSettings> ChosenValues() const;

  // What "Add" asks for a music file (by default a file-open dialog); an empty text adds
  // nothing. Tests replace it.
  void SetFileChooser(std::function<QString()> chooser) { chooseFile_ = std::move(chooser); }
  // How a refusal is shown (by default a modal message box). Tests replace it.
  void SetErrorReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

  // The buttons' and the link's handlers.
  void AddMusic();
  void RemoveMusic();
  void ResetSpeed();
  // OK: a duration that is not an integer, or a file that cannot be written, is reported and
  // the dialog stays open with nothing written; otherwise the values are written and the
  // dialog closes with OK.
  void accept() override;

  // Where a failed OK put its message (empty after a good one); for the caller's record.
  const QString& lastError() const { return lastError_; }

 private:
  void BuildDisplayPage(QWidget* page);
  void BuildMusicPage(QWidget* page);
  void Fill(const DialogSettings& values);
  void Report(const QString& message);

  SettingsAccess access_;
  std::function<QString()> chooseFile_;
  std::function<void(const QString&)> report_;
  QString lastError_;

  QCheckBox* music_ = nullptr;
  QCheckBox* sound_ = nullptr;
  QCheckBox* directX_ = nullptr;
  QComboBox* quality_ = nullptr;
  QComboBox* imageSize_ = nullptr;
  QComboBox* showMode_ = nullptr;
  QLineEdit* duration_ = nullptr;
  QSlider* speed_ = nullptr;
  QCheckBox* customMusic_ = nullptr;
  QCheckBox* shuffle_ = nullptr;
  QTableWidget* musicList_ = nullptr;
  QCheckBox* transition_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// Shows the dialog modally over `parent`; returns whether it closed with OK (the values are
// then in the user settings file).
bool RunSettingsDialog(QWidget* parent, const ShowSettings& settings, const SettingsAccess& access);

}  // namespace vec
