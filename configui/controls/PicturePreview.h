#pragma once
// The picture preview of the designed windows ("TVEPreview"): shows one picture file or
// plain image, resampled smoothly to exactly the control's size (the aspect ratio is not
// kept), and again at each new size. Clickable like any image.

#include <QString>
#include <string>

#include "configui/controls/ClickableWidget.h"
#include "graphics/BlendBitmap.h"

namespace vec {

// The picture a preview shows for a file: a picture file's (".VEP") full picture, or a plain
// image (".JPG", ".BMP", ".GIF") laid over white. Empty for another extension, with ok() true;
// empty with an error message when the file cannot be read.
struct PreviewSource {
  BlendBitmap picture;
  std::string error;
  bool ok() const { return error.empty(); }
};
PreviewSource LoadPreviewSource(const std::string& fileName);

// The source resampled bilinearly to width x height (empty when either is empty).
BlendBitmap StretchToSize(const BlendBitmap& source, int32_t width, int32_t height);

class PicturePreview : public ClickableWidget {
  Q_OBJECT

 public:
  explicit PicturePreview(QWidget* parent = nullptr);

  // Shows that picture; false (and an empty control) when it cannot be read, with the reason
  // in lastError(). A file of another kind shows nothing and is not an error.
  bool loadPicture(const std::string& fileName);
  const std::string& fileName() const { return fileName_; }
  const std::string& lastError() const { return lastError_; }

  // The picture at the control's present size (empty when there is none).
  const BlendBitmap& picture();

  void setHint(const QString& hint);
  void setShowHint(bool show);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void applyHint();

  std::string fileName_;
  std::string lastError_;
  BlendBitmap source_;
  BlendBitmap shown_;
  QString hint_;
  bool showHint_ = false;
};

}  // namespace vec
