#include "studio/MaskCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

#include "studio/AreaLegend.h"
#include "studio/model/MaskImages.h"
#include "studio/model/MaskTools.h"
#include "studio/model/PictureDocument.h"

namespace vec::studio {
namespace {

// The zoom steps of Zoom In and Zoom Out.
constexpr std::array kZoomSteps = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1.0,
                                   1.5,      2.0,     3.0,     4.0,     6.0,     8.0};

// Pointer positions far outside the picture are brought this near, so that a stroke's
// arithmetic never overflows.
constexpr int32_t kFarOutside = 1 << 20;

}  // namespace

MaskCanvas::MaskCanvas(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("MaskCanvas");
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setToolTip(QString());
}

MaskCanvas::~MaskCanvas() = default;

void MaskCanvas::SetDocument(PictureDocument* document) {
  edit_.reset();
  anchor_.reset();
  corners_.clear();
  document_ = document;
  frame_ = QImage();
  if (document_) {
    layer_ = QImage(document_->Width(), document_->Height(), QImage::Format_ARGB32_Premultiplied);
    PaintLayer({0, 0, document_->Width(), document_->Height()});
  } else {
    layer_ = QImage();
  }
  ZoomToFit();
}

void MaskCanvas::SetFrame(const BlendBitmap& frame) {
  // The frame's pixels are shown where they lie; blue, green, red and a fourth byte that
  // the RGB32 format ignores.
  frame_ = QImage(reinterpret_cast<const uchar*>(frame.Bits()), frame.Width(), frame.Height(),
                  static_cast<qsizetype>(frame.Width()) * 4, QImage::Format_RGB32);
  viewport()->update();
}

void MaskCanvas::RefreshMask(const Rect& rect) {
  PaintLayer(rect);
  viewport()->update(ViewRectOf(rect).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void MaskCanvas::PaintLayer(const Rect& rect) {
  if (!document_ || layer_.isNull()) return;
  PaintMaskLayer(document_->Mask(), rect, reinterpret_cast<uint32_t*>(layer_.bits()),
                 static_cast<int32_t>(layer_.bytesPerLine() / 4));
}

void MaskCanvas::SetTool(PaintTool tool) {
  if (tool != PaintTool::Polygon) corners_.clear();
  anchor_.reset();
  tool_ = tool;
  viewport()->update();
}

void MaskCanvas::SetObjectMarkers(std::vector<Point> centres, int chosen) {
  markers_ = std::move(centres);
  chosenMarker_ = chosen;
  if (tool_ == PaintTool::Place) viewport()->update();
}

void MaskCanvas::SetBrushSize(int size) {
  brushSize_ = std::clamp(size, kMinBrushSize, kMaxBrushSize);
  viewport()->update();
}

void MaskCanvas::SetMaskStrength(int percent) {
  strength_ = std::clamp(percent, 0, 100);
  viewport()->update();
}

void MaskCanvas::SetMaskShown(bool shown) {
  maskShown_ = shown;
  viewport()->update();
}

// ---- Geometry --------------------------------------------------------------------------

QPointF MaskCanvas::Origin() const {
  if (!document_) return {};
  const QSize view = viewport()->size();
  const double w = document_->Width() * zoom_, h = document_->Height() * zoom_;
  // A picture smaller than the view sits in its middle; a larger one scrolls.
  const double x = w < view.width() ? std::floor((view.width() - w) / 2)
                                    : -static_cast<double>(horizontalScrollBar()->value());
  const double y = h < view.height() ? std::floor((view.height() - h) / 2)
                                     : -static_cast<double>(verticalScrollBar()->value());
  return {x, y};
}

QPointF MaskCanvas::ViewportPointOf(Point pixel) const {
  return Origin() + QPointF((pixel.x + 0.5) * zoom_, (pixel.y + 0.5) * zoom_);
}

Point MaskCanvas::PixelAt(QPointF at) const {
  const QPointF p = (at - Origin()) / zoom_;
  auto clampAxis = [](double v) {
    return static_cast<int32_t>(
        std::clamp(std::floor(v), -double{kFarOutside}, double{kFarOutside}));
  };
  return {clampAxis(p.x()), clampAxis(p.y())};
}

QRectF MaskCanvas::ViewRectOf(const Rect& r) const {
  const QPointF o = Origin();
  return {o.x() + r.left * zoom_, o.y() + r.top * zoom_, r.Width() * zoom_, r.Height() * zoom_};
}

void MaskCanvas::UpdateScrollBars() {
  const QSize view = viewport()->size();
  const int w = document_ ? static_cast<int>(std::ceil(document_->Width() * zoom_)) : 0;
  const int h = document_ ? static_cast<int>(std::ceil(document_->Height() * zoom_)) : 0;
  horizontalScrollBar()->setRange(0, std::max(0, w - view.width()));
  verticalScrollBar()->setRange(0, std::max(0, h - view.height()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setPageStep(view.height());
  horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 20));
  verticalScrollBar()->setSingleStep(std::max(1, view.height() / 20));
}

void MaskCanvas::SetZoom(double zoom, std::optional<QPointF> anchor) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  const QPointF at =
      anchor.value_or(QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
  const QPointF picturePoint = (at - Origin()) / zoom_;
  zoom_ = zoom;
  UpdateScrollBars();
  // Scroll so that the same picture point is under `at` again.
  const QPointF scroll = picturePoint * zoom_ - at;
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
  viewport()->update();
  emit zoomChanged(zoom_);
}

void MaskCanvas::ZoomIn() {
  for (double step : kZoomSteps)
    if (step > zoom_ * 1.001) return SetZoom(step);
}

void MaskCanvas::ZoomOut() {
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (*it < zoom_ * 0.999) return SetZoom(*it);
}

void MaskCanvas::ZoomToFit() {
  if (!document_) {
    zoom_ = 1;
    UpdateScrollBars();
    viewport()->update();
    return;
  }
  const QSize view = viewport()->size();
  const double fit = std::min(static_cast<double>(view.width()) / document_->Width(),
                              static_cast<double>(view.height()) / document_->Height());
  SetZoom(std::min(1.0, fit));
}

void MaskCanvas::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void MaskCanvas::scrollContentsBy(int, int) {
  viewport()->update();
}

// ---- Drawing ---------------------------------------------------------------------------

void MaskCanvas::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  p.fillRect(event->rect(), palette().color(QPalette::Dark));
  if (!document_) return;
  // Only the picture pixels under the exposed part of the view are drawn, at whole pixels.
  const QRectF exposed = event->rect();
  const Point a = PixelAt(exposed.topLeft()), b = PixelAt(exposed.bottomRight());
  const Rect source =
      Intersect({a.x, a.y, b.x + 1, b.y + 1}, {0, 0, document_->Width(), document_->Height()});
  if (!source.IsEmpty()) {
    const QRectF target = ViewRectOf(source);
    const QRect from(source.left, source.top, source.Width(), source.Height());
    p.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1);
    if (!frame_.isNull()) p.drawImage(target, frame_, from);
    if (maskShown_ && strength_ > 0) {
      p.setOpacity(strength_ / 100.0);
      p.drawImage(target, layer_, from);
      p.setOpacity(1);
    }
  }
  DrawToolOverlay(p);
}

void MaskCanvas::DrawToolOverlay(QPainter& p) const {
  p.setRenderHint(QPainter::Antialiasing);
  const QColor color = tool_ == PaintTool::Eraser ? QColor(Qt::white) : AreaColor(area_);
  QPen outline(Qt::black, 1, Qt::DashLine);
  if (anchor_) {
    const Point c = PixelAt(hover_.value_or(ViewportPointOf(*anchor_)));
    const Rect r{std::min(anchor_->x, c.x), std::min(anchor_->y, c.y),
                 std::max(anchor_->x, c.x) + 1, std::max(anchor_->y, c.y) + 1};
    p.setPen(outline);
    p.setBrush(QColor(color.red(), color.green(), color.blue(), 90));
    p.drawRect(ViewRectOf(r));
  }
  if (!corners_.empty()) {
    QPainterPath path(ViewportPointOf(corners_.front()));
    for (size_t i = 1; i < corners_.size(); ++i) path.lineTo(ViewportPointOf(corners_[i]));
    if (hover_) path.lineTo(*hover_);
    p.setPen(QPen(color, 2));
    p.setBrush(QColor(color.red(), color.green(), color.blue(), 60));
    p.drawPath(path);
  }
  if (tool_ == PaintTool::Place) {
    for (size_t i = 0; i < markers_.size(); ++i) {
      const QPointF c = ViewportPointOf(markers_[i]);
      const bool chosen = static_cast<int>(i) == chosenMarker_;
      p.setPen(QPen(chosen ? palette().highlight().color() : QColor(Qt::white), chosen ? 3 : 1.5));
      p.drawLine(c - QPointF(10, 0), c + QPointF(10, 0));
      p.drawLine(c - QPointF(0, 10), c + QPointF(0, 10));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(c, 6, 6);
    }
  }
  if (hover_ && (tool_ == PaintTool::Brush || tool_ == PaintTool::Eraser)) {
    const QPointF centre = ViewportPointOf(PixelAt(*hover_));
    const double radius = std::max(brushSize_ * zoom_ / 2, 1.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(centre, radius + 1, radius + 1);
    p.setPen(QPen(color, 1));
    p.drawEllipse(centre, radius, radius);
  }
}

// ---- Painting with the mouse -----------------------------------------------------------

void MaskCanvas::BeginEdit() {
  edit_.emplace(document_->BeginMaskEdit());
}

void MaskCanvas::Painted(const Rect& rect) {
  if (rect.IsEmpty()) return;
  PaintLayer(rect);
  viewport()->update(ViewRectOf(rect).toAlignedRect().adjusted(-2, -2, 2, 2));
}

void MaskCanvas::CommitEdit() {
  if (!edit_) return;
  const Rect changed = document_->CommitMaskEdit(*edit_);
  edit_.reset();
  emit maskEdited(changed);
}

void MaskCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
    panFrom_ = event->position().toPoint();
    viewport()->setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (!document_) return;
  const Point at = PixelAt(event->position());
  const uint8_t area = static_cast<uint8_t>(tool_ == PaintTool::Eraser ? 0 : area_);
  if (event->button() == Qt::RightButton) {
    if (tool_ == PaintTool::Polygon) FinishPolygon();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  switch (tool_) {
    case PaintTool::Brush:
    case PaintTool::Eraser:
      BeginEdit();
      last_ = at;
      Painted(PaintSegment(*edit_, at, at, brushSize_, area));
      break;
    case PaintTool::Fill:
      BeginEdit();
      Painted(FloodFill(*edit_, at, area));
      CommitEdit();
      break;
    case PaintTool::Rectangle:
      anchor_ = at;
      hover_ = event->position();
      viewport()->update();
      break;
    case PaintTool::Polygon:
      if (corners_.empty() || corners_.back() != at) corners_.push_back(at);
      viewport()->update();
      break;
    case PaintTool::Place:
      placing_ = true;
      emit placeRequested(at);
      break;
  }
}

void MaskCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (panFrom_) {
    const QPoint delta = event->position().toPoint() - *panFrom_;
    panFrom_ = event->position().toPoint();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
    return;
  }
  const std::optional<QPointF> before = hover_;
  hover_ = event->position();
  const Point at = PixelAt(event->position());
  if (document_)
    emit pointerMoved(
        at, at.x >= 0 && at.y >= 0 && at.x < document_->Width() && at.y < document_->Height());
  if (placing_ && (event->buttons() & Qt::LeftButton)) emit placeRequested(at);
  if (edit_ && (event->buttons() & Qt::LeftButton)) {
    if (at != last_) {
      const uint8_t area = static_cast<uint8_t>(tool_ == PaintTool::Eraser ? 0 : area_);
      Painted(PaintSegment(*edit_, last_, at, brushSize_, area));
      last_ = at;
    }
  }
  // The brush outline and the shapes follow the pointer.
  if (anchor_ || !corners_.empty()) {
    viewport()->update();
  } else if (tool_ == PaintTool::Brush || tool_ == PaintTool::Eraser) {
    const double reach = brushSize_ * zoom_ / 2 + 4 + zoom_;
    for (const auto& point : {before, hover_})
      if (point)
        viewport()->update(
            QRectF(*point - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).toAlignedRect());
  }
}

void MaskCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (panFrom_ && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
    panFrom_.reset();
    viewport()->unsetCursor();
    return;
  }
  if (event->button() != Qt::LeftButton || !document_) return;
  if (placing_) {
    placing_ = false;
    emit placeFinished();
  } else if (edit_) {
    CommitEdit();
  } else if (anchor_) {
    const Point corner = PixelAt(event->position());
    BeginEdit();
    Painted(FillRectangle(*edit_, *anchor_, corner, static_cast<uint8_t>(area_)));
    anchor_.reset();
    CommitEdit();
    viewport()->update();
  }
}

void MaskCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (tool_ == PaintTool::Polygon && event->button() == Qt::LeftButton) {
    FinishPolygon();
    return;
  }
  mousePressEvent(event);
}

void MaskCanvas::FinishPolygon() {
  if (corners_.empty() || !document_) return;
  BeginEdit();
  Painted(FillPolygon(*edit_, corners_, static_cast<uint8_t>(area_)));
  corners_.clear();
  CommitEdit();
  viewport()->update();
}

void MaskCanvas::CancelShape() {
  corners_.clear();
  anchor_.reset();
  viewport()->update();
}

void MaskCanvas::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) SetZoom(zoom_ * std::pow(1.25, steps), event->position());
    return;
  }
  QAbstractScrollArea::wheelEvent(event);
}

void MaskCanvas::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) spaceHeld_ = true;
      viewport()->setCursor(Qt::OpenHandCursor);
      return;
    case Qt::Key_Escape:
      CancelShape();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (tool_ == PaintTool::Polygon) return FinishPolygon();
      break;
    default:
      break;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void MaskCanvas::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = false;
    viewport()->unsetCursor();
    return;
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void MaskCanvas::leaveEvent(QEvent* event) {
  hover_.reset();
  viewport()->update();
  QAbstractScrollArea::leaveEvent(event);
}

}  // namespace vec::studio
