#pragma once
// The questions the studio asks the user: file names, whether to save changes, error
// messages. The window asks through this interface, so that tests can answer in place of a
// person; the plain implementation shows Qt's dialogs.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vec::studio {

class StudioDialogs {
 public:
  virtual ~StudioDialogs() = default;
  // A file to open or to save to; empty when the user cancels.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter);
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& proposal,
                               const QString& filter);
  // Save, Discard or Cancel.
  virtual QMessageBox::StandardButton AskToSave(QWidget* parent, const QString& name);
  virtual void ShowError(QWidget* parent, const QString& text);
  virtual void ShowAbout(QWidget* parent, const QString& text);
};

}  // namespace vec::studio
