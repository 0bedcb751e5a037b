#include "studio/FieldsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "studio/SettingRow.h"

namespace vec::studio {

FieldsForm::FieldsForm(std::vector<FormField> fields, QWidget* parent)
    : QWidget(parent), fields_(std::move(fields)) {
  auto* form = new QFormLayout(this);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  controls_.resize(fields_.size());
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FormField& f = fields_[i];
    const int field = static_cast<int>(i);
    Control& c = controls_[i];
    QWidget* widget = nullptr;
    switch (f.style) {
      case FieldStyle::Number: {
        c.row = new SettingRow(f.key, f.unit, f.min, f.max, this);
        connect(c.row, &SettingRow::valueEdited, this, [this, field](int value) {
          Describe(field, value);
          emit fieldEdited(field, value, generation_);
        });
        connect(c.row, &SettingRow::editFinished, this, [this] { ++generation_; });
        widget = c.row;
        if (f.describe) {
          auto* box = new QWidget(this);
          auto* line = new QHBoxLayout(box);
          line->setContentsMargins(0, 0, 0, 0);
          c.row->setParent(box);
          line->addWidget(c.row, 1);
          c.description = new QLabel(box);
          c.description->setObjectName(f.key + "Description");
          c.description->setMinimumWidth(c.description->fontMetrics().horizontalAdvance("0000 %"));
          line->addWidget(c.description);
          widget = box;
        }
        break;
      }
      case FieldStyle::Flag:
        c.check = new QCheckBox(this);
        c.check->setObjectName(f.key);
        connect(c.check, &QCheckBox::toggled, this,
                [this, field](bool on) { emit fieldEdited(field, on ? 1 : 0, generation_++); });
        widget = c.check;
        break;
      case FieldStyle::Choice:
        c.list = new QComboBox(this);
        c.list->setObjectName(f.key);
        connect(c.list, qOverload<int>(&QComboBox::activated), this, [this, field](int index) {
          const int value = controls_[static_cast<size_t>(field)].list->itemData(index).toInt();
          ShowChoice(field, value);
          emit fieldEdited(field, value, generation_++);
        });
        widget = c.list;
        break;
    }
    widget->setToolTip(f.tip);
    auto* label = new QLabel(f.label, this);
    label->setToolTip(f.tip);
    label->setBuddy(widget);
    form->addRow(label, widget);
  }
}

SettingRow* FieldsForm::RowOf(int field) const {
  return controls_.at(static_cast<size_t>(field)).row;
}

void FieldsForm::Describe(int field, int value) {
  const FormField& f = fields_[static_cast<size_t>(field)];
  if (QLabel* d = controls_[static_cast<size_t>(field)].description) d->setText(f.describe(value));
}

void FieldsForm::ShowChoice(int field, int value) {
  const FormField& f = fields_[static_cast<size_t>(field)];
  QComboBox* list = controls_[static_cast<size_t>(field)].list;
  const QSignalBlocker block(list);
  list->clear();
  for (int v = f.min; v <= f.max; ++v) list->addItem(f.choices.value(v - f.min), v);
  // A value the list does not name is shown as it stands and kept until another is chosen.
  if (value < f.min || value > f.max)
    list->addItem(tr("%1 (not a value the show knows)").arg(value), value);
  list->setCurrentIndex(list->findData(value));
}

void FieldsForm::SetValues(const std::vector<int>& values) {
  for (size_t i = 0; i < fields_.size() && i < values.size(); ++i) {
    const Control& c = controls_[i];
    const int v = values[i];
    if (c.row) {
      c.row->SetValue(v);
      Describe(static_cast<int>(i), v);
    } else if (c.check) {
      const QSignalBlocker block(c.check);
      c.check->setChecked(v != 0);
    } else if (c.list) {
      ShowChoice(static_cast<int>(i), v);
    }
  }
}

}  // namespace vec::studio
