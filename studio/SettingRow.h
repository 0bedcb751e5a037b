#pragma once
// One numeric setting: a slider with the number beside it, bounded to the setting's range.
// A value from a file outside the range is shown as it stands (the number box widens to
// hold it and is marked) and stays so until the user moves the control, which then keeps
// to the range.

#include <QWidget>

class QSlider;
class QSpinBox;
class QLabel;

namespace vec::studio {

class SettingRow : public QWidget {
  Q_OBJECT

 public:
  SettingRow(const QString& key, const QString& unit, int min, int max, QWidget* parent = nullptr);

  // Shows a value from the picture without reporting it as an edit.
  void SetValue(int value);
  int Value() const { return value_; }
  bool ShowsValueOutsideRange() const { return outside_; }
  int Minimum() const { return min_; }
  int Maximum() const { return max_; }

  QSlider* Slider() const { return slider_; }
  QSpinBox* Number() const { return number_; }

 signals:
  // The user changed the value (while dragging, on every step).
  void valueEdited(int value);
  // The user let go of the slider or left the number: one change is complete.
  void editFinished();

 private:
  void UserChanged(int value);
  void ShowOutside(bool outside);

  QSlider* slider_;
  QSpinBox* number_;
  int min_, max_;
  int value_ = 0;
  bool outside_ = false;
};

}  // namespace vec::studio
