#include "configui/controls/PicturePreview.h"

#include <QPainter>

#include "configui/controls/BitmapImage.h"
#include "configui/controls/PictureFiles.h"
#include "graphics/PictureUtilities.h"
#include "picture/Picture.h"

namespace vec {

PreviewSource LoadPreviewSource(const std::string& fileName) {
  PreviewSource out;
  const PictureFileKind kind = KindOfPictureFile(fileName);
  if (kind == PictureFileKind::Other) return out;
  const std::string path = FindPictureFile(fileName);
  if (path.empty()) {
    out.error = "File not found: " + fileName;
    return out;
  }
  if (kind == PictureFileKind::Picture) {
    Picture picture;
    if (!picture.LoadFromFile(path) || picture.image.Empty()) {
      out.error = picture.LastError().empty() ? "Incorrect Project File!" : picture.LastError();
      return out;
    }
    out.picture = OpaqueCopy(picture.image);
    return out;
  }
  ErrorOr<BlendBitmap> image = LoadOpaqueImage(path);
  if (!image) {
    out.error = image.error().message;
    return out;
  }
  out.picture = std::move(image.value());
  return out;
}

BlendBitmap StretchToSize(const BlendBitmap& source, int32_t width, int32_t height) {
  if (source.Empty() || width <= 0 || height <= 0) return {};
  BlendBitmap out(width, height);
  StretchSmoothTo(source, out);
  return out;
}

PicturePreview::PicturePreview(QWidget* parent) : ClickableWidget(parent) {}

bool PicturePreview::loadPicture(const std::string& fileName) {
  fileName_ = fileName;
  PreviewSource loaded = LoadPreviewSource(fileName);
  lastError_ = loaded.error;
  // A picture that cannot be read leaves the control empty rather than showing the last one.
  source_ = std::move(loaded.picture);
  shown_ = StretchToSize(source_, width(), height());
  update();
  return loaded.ok();
}

const BlendBitmap& PicturePreview::picture() {
  if (source_.Empty()) {
    shown_ = {};
  } else if (shown_.Width() != width() || shown_.Height() != height()) {
    shown_ = StretchToSize(source_, width(), height());
  }
  return shown_;
}

void PicturePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawBitmap(painter, picture());
}

void PicturePreview::setHint(const QString& hint) {
  hint_ = hint;
  applyHint();
}

void PicturePreview::setShowHint(bool show) {
  showHint_ = show;
  applyHint();
}

void PicturePreview::applyHint() {
  setToolTip(showHint_ ? hint_ : QString());
}

}  // namespace vec
