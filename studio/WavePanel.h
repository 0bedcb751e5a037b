#pragma once
// The wave settings of one area (the one chosen in the legend), as sliders with their
// numbers and check boxes.

#include <QWidget>

#include "picture/WaveSet.h"

class QLabel;

namespace vec::studio {

class FieldsForm;

class WavePanel : public QWidget {
  Q_OBJECT

 public:
  explicit WavePanel(QWidget* parent = nullptr);

  // Shows the wave set of `area` (1 to 4).
  void Show(int area, const WaveSet& wave);
  int Area() const { return area_; }
  FieldsForm* Form() const { return form_; }

 signals:
  // The user changed the wave set of `area`; changes with one merge key are one drag.
  void waveEdited(int area, vec::WaveSet wave, QString mergeKey);

 private:
  QLabel* title_;
  FieldsForm* form_;
  int area_ = 1;
  WaveSet wave_;
};

}  // namespace vec::studio
