#pragma once
// The legend of the water areas: "Area 1" to "Area 4", each beside a swatch of its mask
// colour. Clicking an entry chooses the area the brush, the fills and the shapes paint and
// whose waves the panel shows.

#include <QWidget>

namespace vec::studio {

class AreaLegend : public QWidget {
  Q_OBJECT

 public:
  explicit AreaLegend(QWidget* parent = nullptr);

  int Area() const { return area_; }  // 1 to 4
  void SetArea(int area);
  // The rectangle of an entry, for the mouse and for tests.
  QRect EntryRect(int area) const;

  QSize sizeHint() const override;

 signals:
  void areaChosen(int area);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int area_ = 1;
};

// The colour area k (1 to 4) is painted in, from the area colours of the mask.
QColor AreaColor(int area);
QString AreaName(int area);

}  // namespace vec::studio
