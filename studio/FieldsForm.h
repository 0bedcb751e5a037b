#pragma once
// A form of settings built from a table: a slider with its number for each numeric
// setting, a check box for each flag, a list for each choice, each with its tooltip. The
// form shows the values it is given and reports what the user changes; each drag or typed
// number is one change (its generation), so the undo history can make one step of it.

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "studio/model/SettingFields.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;

namespace vec::studio {

class SettingRow;

struct FormField {
  QString key, label, unit, tip;
  FieldStyle style = FieldStyle::Number;
  int min = 0, max = 0;
  QStringList choices;  // for FieldStyle::Choice, the names of min..max
  // Text shown after a number (e.g. the percent of a speed step); may be empty.
  std::function<QString(int)> describe;
};

template <class Record>
FormField FormFieldOf(const SettingField<Record>& f) {
  FormField out;
  out.key = f.key;
  out.label = QString::fromUtf8(f.label);
  out.unit = QString::fromUtf8(f.unit);
  out.tip = QString::fromUtf8(f.tip);
  out.style = f.style;
  out.min = f.min;
  out.max = f.max;
  return out;
}

class FieldsForm : public QWidget {
  Q_OBJECT

 public:
  explicit FieldsForm(std::vector<FormField> fields, QWidget* parent = nullptr);

  // Shows the values (one per field) without reporting them as changes.
  void SetValues(const std::vector<int>& values);
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  SettingRow* RowOf(int field) const;

 signals:
  // The user changed a field; changes of one drag share a generation.
  void fieldEdited(int field, int value, int generation);

 private:
  struct Control {
    SettingRow* row = nullptr;
    QCheckBox* check = nullptr;
    QComboBox* list = nullptr;
    QLabel* description = nullptr;
  };
  void Describe(int field, int value);
  void ShowChoice(int field, int value);

  std::vector<FormField> fields_;
  std::vector<Control> controls_;
  int generation_ = 0;
};

}  // namespace vec::studio
