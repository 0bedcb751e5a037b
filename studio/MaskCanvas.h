#pragma once
// The picture being painted: the preview's frame with the area mask over it as a
// see-through layer, zoomed (to 800 %) and panned, and the mouse painting the mask with the
// chosen tool. Each stroke, fill or shape is one edit of the document, undone as one.

#include <QAbstractScrollArea>
#include <QImage>
#include <optional>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"
#include "studio/model/MaskEdit.h"

namespace vec::studio {

class PictureDocument;

// Place puts the chosen animated object where it starts.
enum class PaintTool { Brush, Eraser, Fill, Rectangle, Polygon, Place };

class MaskCanvas : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr double kMinZoom = 1.0 / 16, kMaxZoom = 8.0;

  explicit MaskCanvas(QWidget* parent = nullptr);
  ~MaskCanvas() override;

  // The picture to show and paint (not owned; null shows nothing). The view fits it.
  void SetDocument(PictureDocument* document);
  // The frame shown under the mask; its pixels must stay valid until the next call.
  void SetFrame(const BlendBitmap& frame);
  // The mask changed in `rect` by other means than the mouse (undo, import).
  void RefreshMask(const Rect& rect);

  void SetTool(PaintTool tool);
  PaintTool Tool() const { return tool_; }
  void SetArea(int area) { area_ = area; }
  int Area() const { return area_; }
  void SetBrushSize(int size);
  int BrushSize() const { return brushSize_; }
  // How strongly the mask covers the photo, 0 to 100 %.
  void SetMaskStrength(int percent);
  int MaskStrength() const { return strength_; }
  void SetMaskShown(bool shown);

  double Zoom() const { return zoom_; }
  // Zooms keeping the picture point under `anchor` (a viewport point) where it is; without
  // an anchor, the middle of the view.
  void SetZoom(double zoom, std::optional<QPointF> anchor = std::nullopt);
  void ZoomIn();
  void ZoomOut();
  void ZoomToFit();

  // The centre of picture pixel `pixel` in viewport coordinates, and the pixel under a
  // viewport point.
  QPointF ViewportPointOf(Point pixel) const;
  Point PixelAt(QPointF viewportPoint) const;

  // The polygon being drawn: filled with the chosen area (at least one corner), or dropped.
  void FinishPolygon();
  void CancelShape();
  const std::vector<Point>& PolygonCorners() const { return corners_; }

  // Where the objects start (shown with the Place tool), `chosen` the index of the one the
  // tool places (-1: none).
  void SetObjectMarkers(std::vector<Point> centres, int chosen);

 signals:
  // One edit is complete (a stroke, a fill, a shape); `changed` is empty when it changed
  // nothing.
  void maskEdited(vec::Rect changed);
  void pointerMoved(vec::Point pixel, bool overPicture);
  void zoomChanged(double zoom);
  // The Place tool is pressed or dragged at `pixel`; a drag ends with placeFinished.
  void placeRequested(vec::Point pixel);
  void placeFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPointF Origin() const;
  QRectF ViewRectOf(const Rect& pixels) const;
  void UpdateScrollBars();
  void PaintLayer(const Rect& rect);
  void Painted(const Rect& rect);
  void BeginEdit();
  void CommitEdit();
  void DrawToolOverlay(QPainter& painter) const;

  PictureDocument* document_ = nullptr;
  QImage frame_;
  QImage layer_;
  PaintTool tool_ = PaintTool::Brush;
  int area_ = 1;
  int brushSize_ = 20;
  int strength_ = 45;
  bool maskShown_ = true;
  double zoom_ = 1.0;

  std::optional<MaskEdit> edit_;
  Point last_;
  std::optional<Point> anchor_;  // the rectangle's first corner while it is dragged
  std::vector<Point> corners_;   // the polygon being drawn
  std::vector<Point> markers_;
  int chosenMarker_ = -1;
  bool placing_ = false;
  std::optional<QPointF> hover_;
  std::optional<QPoint> panFrom_;
  bool spaceHeld_ = false;
};

}  // namespace vec::studio
