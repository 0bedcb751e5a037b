#include "studio/WavePanel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "studio/AreaLegend.h"
#include "studio/FieldsForm.h"
#include "studio/model/SettingFields.h"

namespace vec::studio {

WavePanel::WavePanel(QWidget* parent) : QWidget(parent) {
  setObjectName("WavePanel");
  std::vector<FormField> fields;
  for (const WaveField& f : WaveFields()) fields.push_back(FormFieldOf(f));
  title_ = new QLabel(this);
  title_->setObjectName("WaveTitle");
  form_ = new FieldsForm(std::move(fields), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addWidget(form_);
  layout->addStretch(1);
  connect(form_, &FieldsForm::fieldEdited, this, [this](int field, int value, int generation) {
    const WaveField& f = WaveFields()[static_cast<size_t>(field)];
    f.set(wave_, value);
    emit waveEdited(area_, wave_, QString("wave%1.%2.%3").arg(area_).arg(f.key).arg(generation));
  });
}

void WavePanel::Show(int area, const WaveSet& wave) {
  area_ = area;
  wave_ = wave;
  title_->setText(tr("Waves of %1").arg(AreaName(area)));
  std::vector<int> values;
  for (const WaveField& f : WaveFields()) values.push_back(f.get(wave));
  form_->SetValues(values);
}

}  // namespace vec::studio
