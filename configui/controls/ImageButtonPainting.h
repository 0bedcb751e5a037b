#pragma once
// How an image button looks: its published properties, the choice among the up, down and
// over images, and the painting of one frame into a bitmap of the control's size.

#include <QFont>
#include <QString>
#include <optional>

#include "configui/controls/SystemColors.h"
#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"

namespace vec {

// The properties a form text sets on an image button ("TMyButton").
struct ImageButtonProperties {
  QString caption;
  QFont font;
  Pixel fontColor = MakePixel(0, 0, 0);
  BlendBitmap buttonUp;
  BlendBitmap buttonDown;
  BlendBitmap buttonOver;
  BlendBitmap buttonDisable;
  bool autoSize = true;
  bool down = false;
  bool allowDown = false;
  bool showCaption = false;
  bool transparent = true;
};

enum class ButtonVisual { Up, Down, Over };

// Over while the mouse is in the control and not pressed; Down while it is in and pressed,
// or while latched down; otherwise Up (a press dragged outside shows Up).
ButtonVisual ChooseButtonVisual(bool mouseInControl, bool pressed, bool down);

// The size AutoSize gives the control: that of the up image, when there is one.
std::optional<Point> AutoSizeOf(const ImageButtonProperties& properties);

// Top-left corner of the caption, centred with division truncating toward zero (a caption
// wider than the button starts left of it by half the excess, rounded toward zero).
Point CaptionOrigin(int32_t width, int32_t height, int32_t textWidth, int32_t textHeight);

// The raised push button of the system over the whole rectangle: two edges and the face.
void DrawPushButtonFrame(BlendBitmap& target, const Rect& r, const SystemColors& colors);
// The sunken outer edge of a pressed button without images (its inside is left alone).
void DrawSunkenOuterEdge(BlendBitmap& target, const Rect& r, const SystemColors& colors);

// One frame of the button into `target` (sized to the control), cleared to transparent
// first. A disabled button shows its disabled image or a push-button frame, and no caption.
void PaintImageButton(const ImageButtonProperties& properties, bool enabled, ButtonVisual visual,
                      const SystemColors& colors, BlendBitmap& target);

}  // namespace vec
