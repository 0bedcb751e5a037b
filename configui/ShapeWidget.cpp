#include "configui/ShapeWidget.h"

#include <QPainter>

namespace vec {

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent) {}

void ShapeWidget::SetShape(ShapeKind shape, QBrush brush, QPen pen) {
  shape_ = shape;
  brush_ = std::move(brush);
  pen_ = std::move(pen);
  update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(pen_);
  p.setBrush(brush_);
  const int half = pen_.width() / 2;
  QRect r = rect().adjusted(half, half, -half - 1, -half - 1);
  if (shape_ == ShapeKind::Square || shape_ == ShapeKind::RoundSquare ||
      shape_ == ShapeKind::Circle) {
    const int side = std::min(r.width(), r.height());
    r = QRect(r.left() + (r.width() - side) / 2, r.top() + (r.height() - side) / 2, side, side);
  }
  const int corner = std::min(r.width(), r.height()) / 4;
  switch (shape_) {
    case ShapeKind::Rectangle:
    case ShapeKind::Square:
      p.drawRect(r);
      break;
    case ShapeKind::RoundRect:
    case ShapeKind::RoundSquare:
      p.drawRoundedRect(r, corner, corner);
      break;
    case ShapeKind::Ellipse:
    case ShapeKind::Circle:
      p.drawEllipse(r);
      break;
  }
}

}  // namespace vec
