#include "studio/SettingRow.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

namespace vec::studio {

SettingRow::SettingRow(const QString& key, const QString& unit, int min, int max, QWidget* parent)
    : QWidget(parent), min_(min), max_(max) {
  setObjectName(key);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(key + "Slider");
  slider_->setRange(min, max);
  slider_->setPageStep(std::max(1, (max - min) / 10));
  number_ = new QSpinBox(this);
  number_->setObjectName(key + "Number");
  number_->setRange(min, max);
  number_->setKeyboardTracking(false);
  if (!unit.isEmpty()) number_->setSuffix(" " + unit);
  number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance(QString("-0000000 ") + unit));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(slider_, 1);
  layout->addWidget(number_);

  connect(slider_, &QSlider::valueChanged, this, &SettingRow::UserChanged);
  connect(number_, qOverload<int>(&QSpinBox::valueChanged), this, &SettingRow::UserChanged);
  connect(slider_, &QSlider::sliderReleased, this, &SettingRow::editFinished);
  connect(number_, &QSpinBox::editingFinished, this, &SettingRow::editFinished);
}

void SettingRow::SetValue(int value) {
  value_ = value;
  const QSignalBlocker blockSlider(slider_), blockNumber(number_);
  ShowOutside(value < min_ || value > max_);
  slider_->setValue(std::clamp(value, min_, max_));
  number_->setValue(value);
}

void SettingRow::ShowOutside(bool outside) {
  outside_ = outside;
  if (outside) {
    number_->setRange(std::min(value_, min_), std::max(value_, max_));
    number_->setStyleSheet("QSpinBox { color: #b00020; font-weight: bold; }");
    number_->setToolTip(tr("Read from the picture file as it stands, outside %1 to %2; kept "
                           "until you change it")
                            .arg(min_)
                            .arg(max_));
  } else {
    number_->setRange(min_, max_);
    number_->setStyleSheet(QString());
    number_->setToolTip(toolTip());
  }
}

void SettingRow::UserChanged(int value) {
  // A change by the user keeps to the range, also the first change of a value from a file
  // that lay outside it.
  value_ = std::clamp(value, min_, max_);
  const QSignalBlocker blockSlider(slider_), blockNumber(number_);
  if (outside_) ShowOutside(false);
  slider_->setValue(value_);
  number_->setValue(value_);
  emit valueEdited(value_);
}

}  // namespace vec::studio
