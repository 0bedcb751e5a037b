#include "configui/controls/ThumbnailGridPainting.h"

#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "configui/controls/BitmapImage.h"
#include "configui/controls/PixelCanvas.h"
#include "graphics/PictureUtilities.h"

namespace vec {

namespace {

constexpr Pixel kBlack = MakePixel(0, 0, 0);

// The title broken between words to the rectangle's width (a word longer than a line keeps
// its line), each line centred with truncating division, clipped to the rectangle. Each
// line's own extent is filled with `background` behind its letters.
void DrawTitle(BlendBitmap& target, const Rect& r, const QString& text, const QFont& font,
               Pixel foreground, Pixel background) {
  if (text.isEmpty() || r.IsEmpty()) return;
  QTextLayout layout(text, font);
  QTextOption option(Qt::AlignLeft);
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal y = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(r.Width());
    line.setPosition(QPointF(0, y));
    y += line.height();
    if (y >= r.Height()) break;  // later lines would be clipped away
  }
  layout.endLayout();

  QImage image = WrapBitmap(target);
  QPainter painter(&image);
  painter.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()));
  painter.setPen(QColor::fromRgb(foreground));
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    const int32_t textWidth = static_cast<int32_t>(std::ceil(line.naturalTextWidth()));
    const int32_t left = r.left + (r.Width() - textWidth) / 2;
    const int32_t top = r.top + static_cast<int32_t>(line.y());
    painter.fillRect(QRect(left, top, textWidth, static_cast<int32_t>(std::ceil(line.height()))),
                     QColor::fromRgb(background));
    line.draw(&painter, QPointF(left, r.top));
  }
}

}  // namespace

void PaintCheckBox(BlendBitmap& target, int32_t x0, int32_t y0, bool ticked, Pixel pen,
                   Pixel brush) {
  PixelCanvas canvas(target);
  canvas.penColor = pen;
  canvas.brushColor = brush;
  canvas.penWidth = 1;
  canvas.Rectangle(x0, y0, x0 + 11, y0 + 11);
  if (ticked) {
    canvas.penWidth = 2;
    canvas.Line(x0 + 1, y0 + 4, x0 + 5, y0 + 8);
    canvas.Line(x0 + 3, y0 + 8, x0 + 9, y0 + 2);
    // The wide pen leaves a pixel beside each foot of the tick; they are trimmed away.
    canvas.SetPixel(x0 + 3, y0 + 8, brush);
    canvas.SetPixel(x0 + 5, y0 + 8, brush);
  }
  canvas.FrameRect(Rect{x0 + 1, y0 + 1, x0 + 10, y0 + 10}, brush);
}

void PaintThumbnailCell(const ThumbnailGridView& v, int32_t row, int32_t column,
                        BlendBitmap& target) {
  const ThumbnailLayout& l = v.layout;
  const Rect cell = l.CellRect(row, column, v.topRow, v.leftColumn);
  PixelCanvas canvas(target);
  canvas.FillRect(cell, v.color);
  const int32_t index = l.IndexOf(row, column);
  if (index >= v.itemCount) return;
  const bool selected = row == v.selectedRow && column == v.selectedColumn;

  const Rect frame = l.FrameRect(cell, selected);
  canvas.penWidth = selected ? 2 : 1;
  canvas.penColor =
      selected ? ShadeColor(v.highlight, v.color, 100) : ShadeColor(kBlack, v.color, 20);
  canvas.brushColor = ShadeColor(kBlack, v.color, selected ? 10 : 5);
  canvas.Rectangle(frame.left, frame.top, frame.right, frame.bottom);

  if (v.images != nullptr && index < static_cast<int32_t>(v.images->size())) {
    const Point at = l.ThumbnailOrigin(cell);
    canvas.DrawImage(at.x, at.y, (*v.images)[static_cast<size_t>(index)], false);
  }

  if (v.showCheckBox) {
    const Pixel pen =
        selected ? ShadeColor(v.highlight, v.color, 100) : ShadeColor(kBlack, v.color, 30);
    const Pixel brush = ShadeColor(kBlack, v.color, 0);
    const bool ticked = v.ticked != nullptr && index < static_cast<int32_t>(v.ticked->size()) &&
                        (*v.ticked)[static_cast<size_t>(index)];
    const Point o = l.CheckBoxOrigin(cell);
    PaintCheckBox(target, o.x, o.y, ticked, pen, brush);
  }

  if (v.showTitle && v.titles != nullptr && index < static_cast<int32_t>(v.titles->size())) {
    const QString title = QString::fromStdString((*v.titles)[static_cast<size_t>(index)]);
    DrawTitle(target, l.TitleRect(cell), title, v.font, selected ? v.highlightText : v.fontColor,
              selected ? v.highlight : v.color);
  }
}

void PaintThumbnailGrid(const ThumbnailGridView& v, BlendBitmap& target) {
  target.Clear(v.color);
  const ThumbnailLayout& l = v.layout;
  for (int32_t row = v.topRow; row < l.rows; ++row) {
    if ((row - v.topRow) * l.rowHeight >= target.Height()) break;
    for (int32_t column = v.leftColumn; column < l.columns; ++column) {
      if ((column - v.leftColumn) * l.columnWidth >= target.Width()) break;
      PaintThumbnailCell(v, row, column, target);
    }
  }
}

}  // namespace vec
