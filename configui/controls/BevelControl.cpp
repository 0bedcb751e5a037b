#include "configui/controls/BevelControl.h"

#include <QPainter>

#include "configui/controls/BitmapImage.h"
#include "configui/controls/PixelCanvas.h"

namespace vec {

namespace {

// Two polylines without their last points: down the left and along the top in `first`, then
// down the right and back along the bottom in `second` (r's right and bottom are inclusive).
void BevelRect(PixelCanvas& canvas, const Rect& r, Pixel first, Pixel second) {
  canvas.penWidth = 1;
  canvas.penColor = first;
  canvas.Line(r.left, r.bottom, r.left, r.top);
  canvas.Line(r.left, r.top, r.right, r.top);
  canvas.penColor = second;
  canvas.Line(r.right, r.top, r.right, r.bottom);
  canvas.Line(r.right, r.bottom, r.left, r.bottom);
}

void BevelLine(PixelCanvas& canvas, Pixel color, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  canvas.penWidth = 1;
  canvas.penColor = color;
  canvas.Line(x1, y1, x2, y2);
}

}  // namespace

void PaintBevel(BevelShape shape, BevelStyle style, const SystemColors& colors,
                BlendBitmap& target) {
  const int32_t w = target.Width(), h = target.Height();
  if (w <= 0 || h <= 0) return;
  const bool lowered = style == BevelStyle::Lowered;
  const Pixel c1 = lowered ? colors.buttonShadow : colors.buttonHighlight;
  const Pixel c2 = lowered ? colors.buttonHighlight : colors.buttonShadow;
  PixelCanvas canvas(target);
  switch (shape) {
    case BevelShape::Box:
      BevelRect(canvas, Rect{0, 0, w - 1, h - 1}, c1, c2);
      break;
    case BevelShape::Frame:
      BevelRect(canvas, Rect{1, 1, w - 1, h - 1}, c2, c2);
      BevelRect(canvas, Rect{0, 0, w - 2, h - 2}, c1, c1);
      break;
    case BevelShape::TopLine:
      BevelLine(canvas, c1, 0, 0, w, 0);
      BevelLine(canvas, c2, 0, 1, w, 1);
      break;
    case BevelShape::BottomLine:
      BevelLine(canvas, c1, 0, h - 2, w, h - 2);
      BevelLine(canvas, c2, 0, h - 1, w, h - 1);
      break;
    case BevelShape::LeftLine:
      BevelLine(canvas, c1, 0, 0, 0, h);
      BevelLine(canvas, c2, 1, 0, 1, h);
      break;
    case BevelShape::RightLine:
      BevelLine(canvas, c1, w - 2, 0, w - 2, h);
      BevelLine(canvas, c2, w - 1, 0, w - 1, h);
      break;
    case BevelShape::Spacer:
      break;
  }
}

BevelControl::BevelControl(QWidget* parent) : ClickableWidget(parent) {
  colors_ = SystemColors::FromPalette(palette());
}

void BevelControl::setShape(BevelShape shape) {
  shape_ = shape;
  update();
}

void BevelControl::setStyle(BevelStyle style) {
  style_ = style;
  update();
}

void BevelControl::setSystemColors(const SystemColors& colors) {
  colors_ = colors;
  update();
}

void BevelControl::paintEvent(QPaintEvent*) {
  BlendBitmap frame(width(), height());
  if (frame.Empty()) return;
  PaintBevel(shape_, style_, colors_, frame);
  QPainter painter(this);
  DrawBitmap(painter, frame);
}

}  // namespace vec
