#include "configui/controls/ImageButtonPainting.h"

#include <QFontMetrics>
#include <QPainter>

#include "configui/controls/BitmapImage.h"
#include "configui/controls/PixelCanvas.h"

namespace vec {

ButtonVisual ChooseButtonVisual(bool mouseInControl, bool pressed, bool down) {
  if (mouseInControl && !pressed) return ButtonVisual::Over;
  if ((mouseInControl && pressed) || down) return ButtonVisual::Down;
  return ButtonVisual::Up;
}

std::optional<Point> AutoSizeOf(const ImageButtonProperties& properties) {
  if (!properties.autoSize || properties.buttonUp.Empty()) return std::nullopt;
  return Point{properties.buttonUp.Width(), properties.buttonUp.Height()};
}

Point CaptionOrigin(int32_t width, int32_t height, int32_t textWidth, int32_t textHeight) {
  // C++ integer division truncates toward zero, which is the rule wanted here.
  return Point{(width - textWidth) / 2, (height - textHeight) / 2};
}

void DrawPushButtonFrame(BlendBitmap& target, const Rect& r, const SystemColors& colors) {
  PixelCanvas canvas(target);
  canvas.FillRect(r, colors.buttonFace);
  canvas.Edge(r, colors.buttonHighlight, colors.buttonDarkShadow);
  canvas.Edge(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, colors.buttonLight,
              colors.buttonShadow);
}

void DrawSunkenOuterEdge(BlendBitmap& target, const Rect& r, const SystemColors& colors) {
  PixelCanvas(target).Edge(r, colors.buttonShadow, colors.buttonHighlight);
}

namespace {

void DrawCaption(const ImageButtonProperties& p, BlendBitmap& target) {
  if (p.caption.isEmpty() || target.Empty()) return;
  QImage image = WrapBitmap(target);
  QPainter painter(&image);
  painter.setFont(p.font);
  painter.setPen(QColor::fromRgb(p.fontColor));
  const QFontMetrics metrics(p.font);
  const Point origin = CaptionOrigin(target.Width(), target.Height(),
                                     metrics.horizontalAdvance(p.caption), metrics.height());
  // The caption is drawn as it stands, with a clear background; its top is at the origin.
  painter.drawText(origin.x, origin.y + metrics.ascent(), p.caption);
}

}  // namespace

void PaintImageButton(const ImageButtonProperties& p, bool enabled, ButtonVisual visual,
                      const SystemColors& colors, BlendBitmap& target) {
  target.Clear(0);
  PixelCanvas canvas(target);
  const Rect client{0, 0, target.Width(), target.Height()};
  if (!enabled) {
    if (!p.buttonDisable.Empty())
      canvas.DrawImage(0, 0, p.buttonDisable, p.transparent);
    else
      DrawPushButtonFrame(target, client, colors);
    return;
  }
  switch (visual) {
    case ButtonVisual::Up:
      if (!p.buttonUp.Empty())
        canvas.DrawImage(0, 0, p.buttonUp, p.transparent);
      else
        DrawPushButtonFrame(target, client, colors);
      break;
    case ButtonVisual::Down:
      if (!p.buttonDown.Empty())
        canvas.DrawImage(0, 0, p.buttonDown, p.transparent);
      else if (!p.buttonUp.Empty())
        canvas.DrawImage(0, 0, p.buttonUp, p.transparent);
      else
        DrawSunkenOuterEdge(target, client, colors);
      break;
    case ButtonVisual::Over:
      if (!p.buttonOver.Empty())
        canvas.DrawImage(0, 0, p.buttonOver, p.transparent);
      else if (!p.buttonUp.Empty())
        canvas.DrawImage(0, 0, p.buttonUp, p.transparent);
      else
        DrawPushButtonFrame(target, client, colors);
      break;
  }
  if (p.showCaption) DrawCaption(p, target);
}

}  // namespace vec
