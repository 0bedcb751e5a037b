#pragma once
// The bevel of the designed windows ("TMyBevel"): the toolkit's etched box, frame or line,
// lowered or raised, that also reports clicks.

#include "configui/controls/ClickableWidget.h"
#include "configui/controls/SystemColors.h"
#include "graphics/BlendBitmap.h"

namespace vec {

enum class BevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };
enum class BevelStyle { Lowered, Raised };

// The bevel's lines into `target` (the control's size); other pixels are left alone.
// Lowered: shadow at the top and left, highlight at the bottom and right; raised the other
// way round. A frame is two such boxes, one pixel apart, in the two colours.
void PaintBevel(BevelShape shape, BevelStyle style, const SystemColors& colors,
                BlendBitmap& target);

class BevelControl : public ClickableWidget {
  Q_OBJECT

 public:
  explicit BevelControl(QWidget* parent = nullptr);

  void setShape(BevelShape shape);
  BevelShape shape() const { return shape_; }
  void setStyle(BevelStyle style);
  BevelStyle style() const { return style_; }
  void setSystemColors(const SystemColors& colors);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  BevelShape shape_ = BevelShape::Box;
  BevelStyle style_ = BevelStyle::Lowered;
  SystemColors colors_;
};

}  // namespace vec
