#include "studio/ObjectsPanel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/TextEncoding.h"
#include "studio/FieldsForm.h"
#include "studio/model/ObjectTexts.h"

namespace vec::studio {

ObjectsPanel::ObjectsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("ObjectsPanel");
  list_ = new QListWidget(this);
  list_->setObjectName("ObjectList");
  list_->setToolTip(
      tr("The objects that move over the picture, later ones drawn over earlier "
         "ones"));
  auto* addPicture = new QPushButton(tr("Add Picture..."), this);
  addPicture->setObjectName("AddPictureObject");
  addPicture->setToolTip(
      tr("A still picture (BMP, JPEG or GIF) whose bottom-left pixel's colour "
         "is see-through"));
  auto* addGif = new QPushButton(tr("Add Animated GIF..."), this);
  addGif->setObjectName("AddGifObject");
  addGif->setToolTip(tr("An animated GIF, drawn with its own transparency"));
  remove_ = new QPushButton(tr("Remove"), this);
  remove_->setObjectName("RemoveObject");
  remove_->setToolTip(tr("Take the chosen object out of the picture"));

  std::vector<FormField> fields;
  for (const ObjectField& f : ObjectFields()) {
    FormField field;
    field.key = f.key;
    field.label = tr(f.label);
    field.unit = QString::fromUtf8(f.unit);
    field.tip = tr(f.tip);
    field.style = f.style;
    field.min = f.min;
    field.max = f.max;
    field.choices = QString::fromUtf8(f.choices).split('|');
    fields.push_back(std::move(field));
  }
  form_ = new FieldsForm(std::move(fields), this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addPicture);
  buttons->addWidget(addGif);
  buttons->addWidget(remove_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  auto* hint =
      new QLabel(tr("Put the chosen object where it starts with the Place tool (O)."), this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  layout->addWidget(form_);
  layout->addStretch(1);

  connect(addPicture, &QPushButton::clicked, this,
          [this] { emit addRequested(ObjectType::Image); });
  connect(addGif, &QPushButton::clicked, this, [this] { emit addRequested(ObjectType::Gif); });
  connect(remove_, &QPushButton::clicked, this, [this] {
    if (ChosenSection() >= 0) emit removeRequested(ChosenSection());
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this] {
    ShowChosen();
    emit chosenChanged(ChosenSection());
  });
  connect(form_, &FieldsForm::fieldEdited, this, [this](int field, int value, int generation) {
    const int section = ChosenSection();
    if (section < 0) return;
    const ObjectField& f = ObjectFields()[static_cast<size_t>(field)];
    emit keyEdited(section, f.key, value, f.boolean,
                   QString("object%1.%2.%3").arg(section).arg(f.key).arg(generation));
  });
  ShowChosen();
}

int ObjectsPanel::ChosenSection() const {
  const int row = list_->currentRow();
  return row >= 0 && row < static_cast<int>(objects_.size())
             ? objects_[static_cast<size_t>(row)].sectionNumber
             : -1;
}

void ObjectsPanel::Choose(int section) {
  for (size_t i = 0; i < objects_.size(); ++i)
    if (objects_[i].sectionNumber == section) list_->setCurrentRow(static_cast<int>(i));
}

void ObjectsPanel::Show(const std::vector<ObjectKeys>& objects) {
  const int chosen = ChosenSection();
  objects_ = objects;
  {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const ObjectKeys& o : objects_)
      list_->addItem(
          QString("%1: %2 (%3)")
              .arg(o.sectionNumber)
              .arg(QFileInfo(QString::fromStdString(Cp1252ToUtf8(o.Filename))).fileName())
              .arg(o.type == ObjectType::Gif ? tr("animated GIF") : tr("picture")));
    for (size_t i = 0; i < objects_.size(); ++i)
      if (objects_[i].sectionNumber == chosen) list_->setCurrentRow(static_cast<int>(i));
    if (list_->currentRow() < 0 && !objects_.empty()) list_->setCurrentRow(0);
  }
  ShowChosen();
}

void ObjectsPanel::ShowChosen() {
  const int row = list_->currentRow();
  const bool any = row >= 0 && row < static_cast<int>(objects_.size());
  form_->setEnabled(any);
  remove_->setEnabled(any);
  if (!any) return;
  std::vector<int> values;
  for (const ObjectField& f : ObjectFields())
    values.push_back(f.get(objects_[static_cast<size_t>(row)]));
  form_->SetValues(values);
}

}  // namespace vec::studio
