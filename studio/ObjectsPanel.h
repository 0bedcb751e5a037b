#pragma once
// The picture's animated objects: the list, buttons to add a keyed picture or an animated
// GIF and to remove one, and the chosen object's start rule, motion, area and timing from
// lists, sliders and check boxes. The Place tool of the canvas puts the chosen object.

#include <QWidget>
#include <vector>

#include "picture/ObjectKeys.h"

class QListWidget;
class QPushButton;

namespace vec::studio {

class FieldsForm;

class ObjectsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ObjectsPanel(QWidget* parent = nullptr);

  // Shows the objects without reporting them; the chosen one stays chosen when it still is.
  void Show(const std::vector<ObjectKeys>& objects);
  // Section number of the chosen object, or -1.
  int ChosenSection() const;
  void Choose(int section);
  QListWidget* List() const { return list_; }

 signals:
  void addRequested(vec::ObjectType type);
  void removeRequested(int section);
  // One key of the chosen object changed.
  void keyEdited(int section, QString key, int value, bool boolean, QString mergeKey);
  void chosenChanged(int section);

 private:
  void ShowChosen();

  QListWidget* list_;
  FieldsForm* form_;
  QPushButton* remove_;
  std::vector<ObjectKeys> objects_;
};

}  // namespace vec::studio
