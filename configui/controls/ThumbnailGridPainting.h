#pragma once
// The thumbnail grid's cells painted into a bitmap of the grid's client area: the fill, the
// frame, the thumbnail, the check box with its tick and the word-wrapped title.

#include <QFont>
#include <cstdint>
#include <string>
#include <vector>

#include "configui/controls/ThumbnailLayout.h"
#include "graphics/BlendBitmap.h"

namespace vec {

// Everything the painting reads.
struct ThumbnailGridView {
  ThumbnailLayout layout;
  int32_t itemCount = 0;  // the items of the list, loaded or not
  const std::vector<BlendBitmap>* images = nullptr;
  const std::vector<std::string>* titles = nullptr;  // UTF-8
  const std::vector<bool>* ticked = nullptr;
  int32_t selectedRow = 0;
  int32_t selectedColumn = 0;
  int32_t topRow = 0;
  int32_t leftColumn = 0;
  bool showCheckBox = false;
  bool showTitle = false;
  Pixel color = MakePixel(255, 255, 255);  // the grid's colour
  Pixel highlight = MakePixel(0, 120, 215);
  Pixel highlightText = MakePixel(255, 255, 255);
  QFont font;
  Pixel fontColor = MakePixel(0, 0, 0);
};

// The check box at (x0, y0): an 11 x 11 box outlined in `pen` and filled with `brush`, with a
// two-pixel tick in `pen` when ticked, and a one-pixel ring of `brush` just inside the outline.
void PaintCheckBox(BlendBitmap& target, int32_t x0, int32_t y0, bool ticked, Pixel pen,
                   Pixel brush);

// One cell. Cells past the last item are only filled.
void PaintThumbnailCell(const ThumbnailGridView& view, int32_t row, int32_t column,
                        BlendBitmap& target);

// The whole client area: the grid's colour, then every visible cell.
void PaintThumbnailGrid(const ThumbnailGridView& view, BlendBitmap& target);

}  // namespace vec
