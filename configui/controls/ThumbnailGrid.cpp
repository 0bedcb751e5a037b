#include "configui/controls/ThumbnailGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "configui/controls/BitmapImage.h"
#include "configui/controls/SystemColors.h"

namespace vec {

ThumbnailGrid::ThumbnailGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  const SystemColors colors = SystemColors::FromPalette(palette());
  highlight_ = colors.highlight;
  highlightText_ = colors.highlightText;
  fontColor_ = colors.windowText;
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Default cell before any list is given: 100 x 80.
  layout_ = LayoutThumbnails(0, pictureWidth_, pictureHeight_, false, true, 350);
  resize(350, 250);
}

void ThumbnailGrid::setItems(std::vector<std::string> items) {
  items_ = std::move(items);
  hasItems_ = true;
  if (ticked_.size() < items_.size()) ticked_.resize(items_.size(), false);
  relayout();
  reloadThumbnails();
  viewport()->update();
}

void ThumbnailGrid::setPictureWidth(int32_t width) {
  pictureWidth_ = std::clamp(width, 1, kMaxPictureSize);
  relayout();
  reloadThumbnails();
  viewport()->update();
}

void ThumbnailGrid::setPictureHeight(int32_t height) {
  pictureHeight_ = std::clamp(height, 1, kMaxPictureSize);
  relayout();
  reloadThumbnails();
  viewport()->update();
}

void ThumbnailGrid::setShowCheckBox(bool show) {
  showCheckBox_ = show;
  relayout();
  viewport()->update();
}

void ThumbnailGrid::setShowTitle(bool show) {
  showTitle_ = show;
  relayout();
  viewport()->update();
}

void ThumbnailGrid::setMultiRows(bool multiRows) {
  multiRows_ = multiRows;
  setVerticalScrollBarPolicy(multiRows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(multiRows ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  relayout();
  viewport()->update();
}

void ThumbnailGrid::setColor(Pixel color) {
  color_ = color | 0xFF000000;
  viewport()->update();
}

void ThumbnailGrid::setFontColor(Pixel color) {
  fontColor_ = color | 0xFF000000;
  viewport()->update();
}

void ThumbnailGrid::setCtl3D(bool on) {
  ctl3D_ = on;
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
}

void ThumbnailGrid::setBorderStyle(FrameBorder style) {
  borderStyle_ = style;
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
}

void ThumbnailGrid::setSystemColors(Pixel highlight, Pixel highlightText) {
  highlight_ = highlight | 0xFF000000;
  highlightText_ = highlightText | 0xFF000000;
  viewport()->update();
}

bool ThumbnailGrid::ticked(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < ticked_.size() &&
         ticked_[static_cast<size_t>(index)];
}

void ThumbnailGrid::setTicked(int32_t index, bool ticked) {
  if (index < 0 || static_cast<size_t>(index) >= ticked_.size()) return;
  ticked_[static_cast<size_t>(index)] = ticked;
  viewport()->update();
}

void ThumbnailGrid::relayout() {
  if (!hasItems_) return;
  layout_ = LayoutThumbnails(static_cast<int32_t>(items_.size()), pictureWidth_, pictureHeight_,
                             showTitle_, multiRows_, width());
  selectedRow_ = std::min(selectedRow_, layout_.rows - 1);
  selectedColumn_ = std::min(selectedColumn_, layout_.columns - 1);
  if (multiRows_) leftColumn_ = 0;  // several rows never scroll sideways
  if (!multiRows_) topRow_ = 0;
  updateScrollBars();
}

void ThumbnailGrid::reloadThumbnails() {
  if (!hasItems_) return;
  thumbnails_ = LoadThumbnails(items_, pictureWidth_, pictureHeight_, messages_);
}

// The scroll bars count whole cells: the position is the first row (or column) shown.
void ThumbnailGrid::updateScrollBars() {
  const QSize area = viewport()->size();
  const int32_t fullRows = std::max(area.height() / layout_.rowHeight, 1);
  const int32_t fullColumns = std::max(area.width() / layout_.columnWidth, 1);
  // Changing a range may move its bar, which reports back through scrollContentsBy; the
  // wanted position is kept aside meanwhile.
  const int32_t wantedTop = topRow_, wantedLeft = leftColumn_;
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  v->setRange(0, multiRows_ ? std::max(layout_.rows - fullRows, 0) : 0);
  v->setPageStep(fullRows);
  h->setRange(0, multiRows_ ? 0 : std::max(layout_.columns - fullColumns, 0));
  h->setPageStep(fullColumns);
  const int32_t top = std::clamp(wantedTop, 0, v->maximum());
  const int32_t left = std::clamp(wantedLeft, 0, h->maximum());
  v->setValue(top);
  h->setValue(left);
  topRow_ = top;
  leftColumn_ = left;
}

void ThumbnailGrid::scrollContentsBy(int, int) {
  topRow_ = verticalScrollBar()->value();
  leftColumn_ = multiRows_ ? 0 : horizontalScrollBar()->value();
  viewport()->update();
}

void ThumbnailGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  relayout();
}

ThumbnailGridView ThumbnailGrid::view() const {
  ThumbnailGridView v;
  v.layout = layout_;
  v.itemCount = hasItems_ ? static_cast<int32_t>(items_.size()) : 0;
  v.images = &thumbnails_.images;
  v.titles = &thumbnails_.titles;
  v.ticked = &ticked_;
  v.selectedRow = selectedRow_;
  v.selectedColumn = selectedColumn_;
  v.topRow = topRow_;
  v.leftColumn = leftColumn_;
  v.showCheckBox = showCheckBox_;
  v.showTitle = showTitle_;
  v.color = color_;
  v.highlight = highlight_;
  v.highlightText = highlightText_;
  v.font = font();
  v.fontColor = fontColor_;
  return v;
}

BlendBitmap ThumbnailGrid::render() const {
  const QSize area = viewport()->size();
  BlendBitmap frame(area.width(), area.height());
  if (!frame.Empty()) PaintThumbnailGrid(view(), frame);
  return frame;
}

void ThumbnailGrid::paintEvent(QPaintEvent*) {
  const BlendBitmap frame = render();
  QPainter painter(viewport());
  DrawBitmap(painter, frame);
}

std::optional<std::pair<int32_t, int32_t>> ThumbnailGrid::cellAt(QPoint p) const {
  if (p.x() < 0 || p.y() < 0) return std::nullopt;
  const int32_t row = topRow_ + p.y() / layout_.rowHeight;
  const int32_t column = leftColumn_ + p.x() / layout_.columnWidth;
  if (row >= layout_.rows || column >= layout_.columns) return std::nullopt;
  return std::make_pair(row, column);
}

// Only cells that show an item have a check box to hit.
std::optional<int32_t> ThumbnailGrid::checkBoxAt(QPoint p) const {
  if (!showCheckBox_ || !hasItems_) return std::nullopt;
  const auto cell = cellAt(p);
  if (!cell) return std::nullopt;
  const int32_t index = layout_.IndexOf(cell->first, cell->second);
  if (index >= static_cast<int32_t>(items_.size())) return std::nullopt;
  const Rect r = layout_.CellRect(cell->first, cell->second, topRow_, leftColumn_);
  if (!layout_.InCheckBox(r, Point{p.x(), p.y()})) return std::nullopt;
  return index;
}

void ThumbnailGrid::mouseMoveEvent(QMouseEvent* event) {
  if (showCheckBox_) {
    const bool overBox = checkBoxAt(event->position().toPoint()).has_value();
    viewport()->setCursor(overBox ? Qt::PointingHandCursor : Qt::ArrowCursor);
  }
  QAbstractScrollArea::mouseMoveEvent(event);
}

void ThumbnailGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  if (const auto box = checkBoxAt(p)) setTicked(*box, !ticked(*box));
  if (const auto cell = cellAt(p); cell && hasItems_)
    moveSelection(cell->first, cell->second, true);
  event->accept();
}

void ThumbnailGrid::keyPressEvent(QKeyEvent* event) {
  if (!hasItems_) return QAbstractScrollArea::keyPressEvent(event);
  int32_t row = selectedRow_, column = selectedColumn_;
  const int32_t page = std::max(verticalScrollBar()->pageStep(), 1);
  switch (event->key()) {
    case Qt::Key_Left:
      --column;
      break;
    case Qt::Key_Right:
      ++column;
      break;
    case Qt::Key_Up:
      --row;
      break;
    case Qt::Key_Down:
      ++row;
      break;
    case Qt::Key_PageUp:
      row -= page;
      break;
    case Qt::Key_PageDown:
      row += page;
      break;
    case Qt::Key_Home:
      column = 0;
      break;
    case Qt::Key_End:
      column = layout_.columns - 1;
      break;
    default:
      return QAbstractScrollArea::keyPressEvent(event);
  }
  row = std::clamp(row, 0, layout_.rows - 1);
  column = std::clamp(column, 0, layout_.columns - 1);
  moveSelection(row, column, false);
  event->accept();
}

void ThumbnailGrid::selectCell(int32_t index) {
  if (!hasItems_) return;
  index = std::clamp(index, 0, layout_.rows * layout_.columns - 1);
  moveSelection(index / layout_.columns, index % layout_.columns, false);
}

void ThumbnailGrid::moveSelection(int32_t row, int32_t column, bool always) {
  const bool moved = row != selectedRow_ || column != selectedColumn_;
  selectedRow_ = row;
  selectedColumn_ = column;
  scrollToSelection();
  viewport()->update();
  if (!moved && !always) return;
  const int32_t last = static_cast<int32_t>(items_.size()) - 1;
  const int32_t index = std::max(std::min(layout_.IndexOf(row, column), last), 0);
  emit selectItem(index);
}

void ThumbnailGrid::scrollToSelection() {
  const QSize area = viewport()->size();
  const int32_t fullRows = std::max(area.height() / layout_.rowHeight, 1);
  const int32_t fullColumns = std::max(area.width() / layout_.columnWidth, 1);
  if (selectedRow_ < topRow_) topRow_ = selectedRow_;
  if (selectedRow_ >= topRow_ + fullRows) topRow_ = selectedRow_ - fullRows + 1;
  if (!multiRows_) {
    if (selectedColumn_ < leftColumn_) leftColumn_ = selectedColumn_;
    if (selectedColumn_ >= leftColumn_ + fullColumns)
      leftColumn_ = selectedColumn_ - fullColumns + 1;
  }
  updateScrollBars();
}

}  // namespace vec
