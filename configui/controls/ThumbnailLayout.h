#pragma once
// Where the thumbnail grid's cells lie: the cell size from the picture size, the number of
// columns and rows from the control's width and the number of items, and the rectangles of
// a cell, its frame, thumbnail, check box and title.

#include <cstdint>

#include "graphics/Geometry.h"

namespace vec {

struct ThumbnailLayout {
  int32_t pictureWidth = 80;
  int32_t pictureHeight = 60;
  int32_t columnWidth = 100;
  int32_t rowHeight = 80;
  int32_t columns = 1;
  int32_t rows = 1;

  // Cell (row, column) with the grid scrolled to (topRow, leftColumn).
  Rect CellRect(int32_t row, int32_t column, int32_t topRow = 0, int32_t leftColumn = 0) const;
  int32_t IndexOf(int32_t row, int32_t column) const { return row * columns + column; }

  // Parts of the cell whose rectangle is `cell`.
  Rect FrameRect(const Rect& cell, bool selected) const;  // as given to the rectangle pen
  Point ThumbnailOrigin(const Rect& cell) const;
  Point CheckBoxOrigin(const Rect& cell) const;
  Rect TitleRect(const Rect& cell) const;
  // The area that toggles the check box: 12 x 12 pixels, both bounds included.
  bool InCheckBox(const Rect& cell, Point p) const;
};

// Column width = picture width + 20; row height = picture height + 20, plus 30 with titles.
// Several rows: as many columns as fit the control's width (at least one) and as many rows
// as the items need. One row: a column per item. Never fewer than one row and one column.
ThumbnailLayout LayoutThumbnails(int32_t itemCount, int32_t pictureWidth, int32_t pictureHeight,
                                 bool showTitle, bool multiRows, int32_t controlWidth);

}  // namespace vec
