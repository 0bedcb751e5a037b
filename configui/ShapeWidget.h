#pragma once
// A shape control: a rectangle, square, rounded rectangle or square, ellipse or circle,
// filled with its brush and outlined with its pen. Squares and circles take the shorter
// side and are centred.

#include <QBrush>
#include <QPen>
#include <QWidget>

#include "configui/controls/ShapeControl.h"  // ShapeKind

namespace vec {

class ShapeWidget : public QWidget {
 public:
  explicit ShapeWidget(QWidget* parent);
  void SetShape(ShapeKind shape, QBrush brush, QPen pen);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShapeKind shape_ = ShapeKind::Rectangle;
  QBrush brush_{Qt::white};
  QPen pen_{Qt::black};
};

}  // namespace vec
