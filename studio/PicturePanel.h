#pragma once
// The picture's texts (title and author, as the thumbnails and the author see them) and its
// preview picture, made from the photo at the width the tools use or chosen from a file.

#include <QImage>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace vec::studio {

// The preview picture drawn whole in the middle of the control, keeping its proportions.
class PreviewThumb : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewThumb(QWidget* parent = nullptr);
  void SetImage(QImage image);
  QSize sizeHint() const override { return {180, 120}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

class PicturePanel : public QWidget {
  Q_OBJECT

 public:
  explicit PicturePanel(QWidget* parent = nullptr);

  // Shows the texts (UTF-8) and the preview without reporting them as changes.
  void Show(const QString& title, const QString& author, const QImage& preview);

 signals:
  void titleEdited(QString title, QString mergeKey);
  void authorEdited(QString author, QString mergeKey);
  void makePreviewRequested();
  void choosePreviewRequested();

 private:
  QLineEdit* title_;
  QLineEdit* author_;
  PreviewThumb* thumb_;
  QLabel* previewSize_;
  int generation_ = 0;
};

}  // namespace vec::studio
