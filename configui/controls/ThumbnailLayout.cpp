#include "configui/controls/ThumbnailLayout.h"

#include <algorithm>

namespace vec {

ThumbnailLayout LayoutThumbnails(int32_t itemCount, int32_t pictureWidth, int32_t pictureHeight,
                                 bool showTitle, bool multiRows, int32_t controlWidth) {
  ThumbnailLayout l;
  l.pictureWidth = pictureWidth;
  l.pictureHeight = pictureHeight;
  l.columnWidth = std::max(pictureWidth + 20, 1);
  l.rowHeight = std::max(pictureHeight + 20 + (showTitle ? 30 : 0), 1);
  const int32_t count = std::max(itemCount, 0);
  if (multiRows) {
    l.columns = std::max(controlWidth / l.columnWidth, 1);
    l.rows = count / l.columns + (count % l.columns != 0 ? 1 : 0);
  } else {
    l.rows = 1;
    l.columns = count;
  }
  l.columns = std::max(l.columns, 1);
  l.rows = std::max(l.rows, 1);
  return l;
}

Rect ThumbnailLayout::CellRect(int32_t row, int32_t column, int32_t topRow,
                               int32_t leftColumn) const {
  const int32_t left = (column - leftColumn) * columnWidth;
  const int32_t top = (row - topRow) * rowHeight;
  return Rect{left, top, left + columnWidth, top + rowHeight};
}

Rect ThumbnailLayout::FrameRect(const Rect& cell, bool selected) const {
  const int32_t inset = selected ? 11 : 10;
  return Rect{cell.left + inset, cell.top + inset, cell.left + pictureWidth + 20,
              cell.top + pictureHeight + 20};
}

Point ThumbnailLayout::ThumbnailOrigin(const Rect& cell) const {
  return Point{cell.left + (cell.right - cell.left + 10 - pictureWidth) / 2, cell.top + 15};
}

Point ThumbnailLayout::CheckBoxOrigin(const Rect& cell) const {
  return Point{cell.left + 13, cell.top + pictureHeight + 6};
}

Rect ThumbnailLayout::TitleRect(const Rect& cell) const {
  return Rect{cell.left + 10, cell.top + pictureHeight + 24, cell.right, cell.bottom};
}

bool ThumbnailLayout::InCheckBox(const Rect& cell, Point p) const {
  const Point o = CheckBoxOrigin(cell);
  return p.x >= o.x && p.x <= o.x + 11 && p.y >= o.y && p.y <= o.y + 11;
}

}  // namespace vec
