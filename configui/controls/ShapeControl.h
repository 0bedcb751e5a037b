#pragma once
// The shape of the designed windows ("TMyShape"): the toolkit's rectangle, square, rounded
// rectangle or square, ellipse or circle with a pen and a brush, that also reports clicks.

#include "configui/controls/ClickableWidget.h"
#include "graphics/Geometry.h"

namespace vec {

enum class ShapeKind { Rectangle, Square, RoundRect, RoundSquare, Ellipse, Circle };
enum class BrushStyle {
  Solid,
  Clear,
  Horizontal,
  Vertical,
  FDiagonal,
  BDiagonal,
  Cross,
  DiagCross
};

// Where the outline is drawn in a control of width x height with a pen of penWidth: the
// rectangle (right and bottom exclusive) is inset by half the pen, the square kinds are
// centred in it with the smaller side, and rounded kinds have corners of a quarter of it.
struct ShapeGeometry {
  Rect bounds;
  int32_t cornerSize = 0;  // width and height of the rounded corners' ellipse
};
ShapeGeometry ShapeGeometryOf(ShapeKind kind, int32_t width, int32_t height, int32_t penWidth);

class ShapeControl : public ClickableWidget {
  Q_OBJECT

 public:
  explicit ShapeControl(QWidget* parent = nullptr);

  void setShape(ShapeKind shape);
  ShapeKind shape() const { return shape_; }
  void setBrushColor(Pixel color);
  Pixel brushColor() const { return brushColor_; }
  void setBrushStyle(BrushStyle style);
  BrushStyle brushStyle() const { return brushStyle_; }
  void setPenColor(Pixel color);
  Pixel penColor() const { return penColor_; }
  void setPenWidth(int32_t width);  // 0 draws a one-pixel line, as 1 does
  int32_t penWidth() const { return penWidth_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShapeKind shape_ = ShapeKind::Rectangle;
  Pixel brushColor_ = MakePixel(255, 255, 255);
  BrushStyle brushStyle_ = BrushStyle::Solid;
  Pixel penColor_ = MakePixel(0, 0, 0);
  int32_t penWidth_ = 1;
};

}  // namespace vec
