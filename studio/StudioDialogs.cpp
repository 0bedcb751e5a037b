#include "studio/StudioDialogs.h"

#include <QFileDialog>

namespace vec::studio {

QString StudioDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString StudioDialogs::SaveFileName(QWidget* parent, const QString& caption,
                                    const QString& proposal, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, caption, proposal, filter);
}

QMessageBox::StandardButton StudioDialogs::AskToSave(QWidget* parent, const QString& name) {
  return QMessageBox::question(
      parent, QObject::tr("Unsaved changes"),
      QObject::tr("The picture \"%1\" has changes that are not saved. Save them?").arg(name),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
}

void StudioDialogs::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QObject::tr("vecstudio"), text);
}

void StudioDialogs::ShowAbout(QWidget* parent, const QString& text) {
  QMessageBox::about(parent, QObject::tr("About vecstudio"), text);
}

}  // namespace vec::studio
