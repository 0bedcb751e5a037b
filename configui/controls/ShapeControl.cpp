#include "configui/controls/ShapeControl.h"

#include <QPainter>
#include <algorithm>

namespace vec {

ShapeGeometry ShapeGeometryOf(ShapeKind kind, int32_t width, int32_t height, int32_t penWidth) {
  int32_t x = penWidth / 2, y = x;
  int32_t w = width - penWidth + 1, h = height - penWidth + 1;
  if (penWidth == 0) {
    --w;
    --h;
  }
  const int32_t side = std::min(w, h);
  if (kind == ShapeKind::Square || kind == ShapeKind::RoundSquare || kind == ShapeKind::Circle) {
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = side;
    h = side;
  }
  ShapeGeometry g;
  g.bounds = Rect{x, y, x + w, y + h};
  if (kind == ShapeKind::RoundRect || kind == ShapeKind::RoundSquare) g.cornerSize = side / 4;
  return g;
}

ShapeControl::ShapeControl(QWidget* parent) : ClickableWidget(parent) {}

void ShapeControl::setShape(ShapeKind shape) {
  shape_ = shape;
  update();
}

void ShapeControl::setBrushColor(Pixel color) {
  brushColor_ = color;
  update();
}

void ShapeControl::setBrushStyle(BrushStyle style) {
  brushStyle_ = style;
  update();
}

void ShapeControl::setPenColor(Pixel color) {
  penColor_ = color;
  update();
}

void ShapeControl::setPenWidth(int32_t width) {
  penWidth_ = std::clamp(width, 0, 1000);
  update();
}

namespace {

Qt::BrushStyle QtBrushStyle(BrushStyle style) {
  switch (style) {
    case BrushStyle::Solid:
      return Qt::SolidPattern;
    case BrushStyle::Clear:
      return Qt::NoBrush;
    case BrushStyle::Horizontal:
      return Qt::HorPattern;
    case BrushStyle::Vertical:
      return Qt::VerPattern;
    case BrushStyle::FDiagonal:
      return Qt::FDiagPattern;
    case BrushStyle::BDiagonal:
      return Qt::BDiagPattern;
    case BrushStyle::Cross:
      return Qt::CrossPattern;
    case BrushStyle::DiagCross:
      return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

}  // namespace

void ShapeControl::paintEvent(QPaintEvent*) {
  const ShapeGeometry g = ShapeGeometryOf(shape_, width(), height(), penWidth_);
  if (g.bounds.IsEmpty()) return;
  QPainter painter(this);
  QPen pen(QColor::fromRgb(penColor_));
  pen.setWidth(std::max(penWidth_, 1));
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(QBrush(QColor::fromRgb(brushColor_), QtBrushStyle(brushStyle_)));
  // The device rule leaves out the right and bottom edge; Qt's outline includes them.
  const QRect r(g.bounds.left, g.bounds.top, g.bounds.Width() - 1, g.bounds.Height() - 1);
  switch (shape_) {
    case ShapeKind::Rectangle:
    case ShapeKind::Square:
      painter.drawRect(r);
      break;
    case ShapeKind::RoundRect:
    case ShapeKind::RoundSquare:
      painter.drawRoundedRect(r, g.cornerSize / 2.0, g.cornerSize / 2.0);
      break;
    case ShapeKind::Ellipse:
    case ShapeKind::Circle:
      painter.setRenderHint(QPainter::Antialiasing);
      painter.drawEllipse(r);
      break;
  }
}

}  // namespace vec
