#pragma once
// The thumbnail grid of the designed windows ("TVEThumbnail2"): the saver's pictures as
// thumbnails in a grid that scrolls by whole cells, each with an optional check box (the
// user's favourites) and title. Selecting a cell reports the picture's index.

#include <QAbstractScrollArea>
#include <optional>
#include <string>
#include <vector>

#include "configui/controls/FrameStyle.h"
#include "configui/controls/ThumbnailGridPainting.h"
#include "configui/controls/ThumbnailLayout.h"
#include "configui/controls/ThumbnailLoader.h"

namespace vec {

class IPictureMessages;

class ThumbnailGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Ticked flags for items 0..1000 exist from the start; longer lists get flags for every
  // item, all clear until set.
  static constexpr int32_t kTickedCapacity = 1001;
  // Picture sizes are kept within 1..kMaxPictureSize pixels.
  static constexpr int32_t kMaxPictureSize = 512;

  explicit ThumbnailGrid(QWidget* parent = nullptr);

  // Takes the list, lays the grid out, builds the thumbnails and repaints.
  void setItems(std::vector<std::string> items);
  const std::vector<std::string>& items() const { return items_; }

  void setPictureWidth(int32_t width);
  void setPictureHeight(int32_t height);
  int32_t pictureWidth() const { return pictureWidth_; }
  int32_t pictureHeight() const { return pictureHeight_; }
  void setShowCheckBox(bool show);
  bool showCheckBox() const { return showCheckBox_; }
  void setShowTitle(bool show);
  bool showTitle() const { return showTitle_; }
  // Several rows with a vertical scroll bar, or one row with a horizontal one.
  void setMultiRows(bool multiRows);
  bool multiRows() const { return multiRows_; }
  void setColor(Pixel color);
  Pixel color() const { return color_; }
  void setFontColor(Pixel color);
  Pixel fontColor() const { return fontColor_; }
  void setCtl3D(bool on);
  bool ctl3D() const { return ctl3D_; }
  void setBorderStyle(FrameBorder style);
  FrameBorder borderStyle() const { return borderStyle_; }
  void setSystemColors(Pixel highlight, Pixel highlightText);
  // Where a picture file whose preview cannot be read is reported (not owned; may be null).
  void setMessages(IPictureMessages* messages) { messages_ = messages; }

  bool ticked(int32_t index) const;
  void setTicked(int32_t index, bool ticked);

  // Selects the cell of item `index` (row = index / columns, column = index % columns, kept
  // within the grid); reports it when the selection moves.
  void selectCell(int32_t index);
  int32_t selectedRow() const { return selectedRow_; }
  int32_t selectedColumn() const { return selectedColumn_; }

  const ThumbnailLayout& layout() const { return layout_; }
  const Thumbnails& thumbnails() const { return thumbnails_; }
  int32_t topRow() const { return topRow_; }
  int32_t leftColumn() const { return leftColumn_; }

  // The client area as it paints now.
  BlendBitmap render() const;

 signals:
  // OnSelectItem: the selected cell's index, kept within 0 .. last item.
  void selectItem(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void relayout();
  void reloadThumbnails();
  void updateScrollBars();
  void moveSelection(int32_t row, int32_t column, bool always);
  void scrollToSelection();
  // The cell under a point of the viewport, if it is a cell of the grid.
  std::optional<std::pair<int32_t, int32_t>> cellAt(QPoint p) const;
  std::optional<int32_t> checkBoxAt(QPoint p) const;
  ThumbnailGridView view() const;

  std::vector<std::string> items_;
  bool hasItems_ = false;
  Thumbnails thumbnails_;
  std::vector<bool> ticked_ = std::vector<bool>(kTickedCapacity, false);
  ThumbnailLayout layout_;
  int32_t pictureWidth_ = 80;
  int32_t pictureHeight_ = 60;
  bool showCheckBox_ = false;
  bool showTitle_ = false;
  bool multiRows_ = true;
  bool ctl3D_ = true;
  FrameBorder borderStyle_ = FrameBorder::Single;
  Pixel color_ = MakePixel(255, 255, 255);
  Pixel fontColor_ = MakePixel(0, 0, 0);
  Pixel highlight_;
  Pixel highlightText_;
  int32_t selectedRow_ = 0;
  int32_t selectedColumn_ = 0;
  int32_t topRow_ = 0;
  int32_t leftColumn_ = 0;
  IPictureMessages* messages_ = nullptr;
};

}  // namespace vec
