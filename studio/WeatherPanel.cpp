#include "studio/WeatherPanel.h"

#include <QVBoxLayout>

#include "base/SpeedTable.h"
#include "studio/FieldsForm.h"
#include "studio/model/SettingFields.h"

namespace vec::studio {

WeatherPanel::WeatherPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("WeatherPanel");
  std::vector<FormField> fields;
  for (const WeatherField& f : WeatherFields()) {
    FormField field = FormFieldOf(f);
    if (field.key == "Kind") field.choices = {tr("None"), tr("Snow"), tr("Rain")};
    if (field.key == "SpeedIndex")
      field.describe = [](int index) {
        return index < 0 || index >= static_cast<int>(SpeedTable.size())
                   ? tr("not in the table")
                   : QString("%1 %").arg(SpeedTable[static_cast<size_t>(index)]);
      };
    fields.push_back(std::move(field));
  }
  form_ = new FieldsForm(std::move(fields), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(form_);
  layout->addStretch(1);
  connect(form_, &FieldsForm::fieldEdited, this, [this](int field, int value, int generation) {
    const WeatherField& f = WeatherFields()[static_cast<size_t>(field)];
    f.set(weather_, value);
    emit weatherEdited(weather_, QString("weather.%1.%2").arg(f.key).arg(generation));
  });
}

void WeatherPanel::Show(const WeatherSettings& weather) {
  weather_ = weather;
  std::vector<int> values;
  for (const WeatherField& f : WeatherFields()) values.push_back(f.get(weather));
  form_->SetValues(values);
}

}  // namespace vec::studio
