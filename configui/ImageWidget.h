#pragma once
// A picture control: draws its image at the top left, centred, stretched to the control,
// or fitted keeping its proportions (shrunk when too large; also grown when Stretch is set).

#include <QImage>
#include <QWidget>

namespace vec {

class ImageWidget : public QWidget {
 public:
  explicit ImageWidget(QWidget* parent);
  void SetImage(QImage image);
  void SetPlacement(bool center, bool stretch, bool proportional);
  const QImage& image() const { return image_; }
  // Where the image goes in a control of `size`.
  QRect TargetRect(QSize size) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  bool center_ = false;
  bool stretch_ = false;
  bool proportional_ = false;
};

}  // namespace vec
