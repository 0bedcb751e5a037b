#pragma once
// The picture's snow or rain: the kind from a list, its settings as sliders with numbers.

#include <QWidget>

#include "picture/WeatherSettings.h"

namespace vec::studio {

class FieldsForm;

class WeatherPanel : public QWidget {
  Q_OBJECT

 public:
  explicit WeatherPanel(QWidget* parent = nullptr);

  // Shows the weather as stored (an Opacity of 0 as 0, the default).
  void Show(const WeatherSettings& weather);
  FieldsForm* Form() const { return form_; }

 signals:
  void weatherEdited(vec::WeatherSettings weather, QString mergeKey);

 private:
  FieldsForm* form_;
  WeatherSettings weather_;
};

}  // namespace vec::studio
