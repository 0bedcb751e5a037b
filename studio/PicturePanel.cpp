#include "studio/PicturePanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vec::studio {

PreviewThumb::PreviewThumb(QWidget* parent) : QWidget(parent) {
  setObjectName("PreviewThumb");
  setMinimumSize(120, 80);
}

void PreviewThumb::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void PreviewThumb::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Dark));
  if (image_.isNull()) return;
  QSize size = image_.size();
  size.scale(this->size(), Qt::KeepAspectRatio);
  const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(target, image_);
}

PicturePanel::PicturePanel(QWidget* parent) : QWidget(parent) {
  setObjectName("PicturePanel");
  title_ = new QLineEdit(this);
  title_->setObjectName("Title");
  title_->setToolTip(tr("The picture's name, shown under its thumbnail in the saver's window"));
  author_ = new QLineEdit(this);
  author_->setObjectName("Author");
  author_->setToolTip(tr("Who made the picture"));
  thumb_ = new PreviewThumb(this);
  thumb_->setToolTip(tr("The small picture the saver's thumbnails and preview show"));
  previewSize_ = new QLabel(this);
  previewSize_->setObjectName("PreviewSize");
  auto* make = new QPushButton(tr("Make from Photo"), this);
  make->setObjectName("MakePreview");
  make->setToolTip(tr("Make the preview from the photo, 160 pixels wide"));
  auto* choose = new QPushButton(tr("Choose..."), this);
  choose->setObjectName("ChoosePreview");
  choose->setToolTip(tr("Take the preview from a picture file (a JPEG is kept as it is)"));

  auto* form = new QFormLayout;
  form->addRow(tr("Title"), title_);
  form->addRow(tr("Author"), author_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(make);
  buttons->addWidget(choose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(tr("Preview"), this));
  layout->addWidget(thumb_, 1);
  layout->addWidget(previewSize_);
  layout->addLayout(buttons);
  layout->addStretch(0);

  connect(title_, &QLineEdit::textEdited, this, [this](const QString& text) {
    emit titleEdited(text, QString("title.%1").arg(generation_));
  });
  connect(author_, &QLineEdit::textEdited, this, [this](const QString& text) {
    emit authorEdited(text, QString("author.%1").arg(generation_));
  });
  connect(title_, &QLineEdit::editingFinished, this, [this] { ++generation_; });
  connect(author_, &QLineEdit::editingFinished, this, [this] { ++generation_; });
  connect(make, &QPushButton::clicked, this, &PicturePanel::makePreviewRequested);
  connect(choose, &QPushButton::clicked, this, &PicturePanel::choosePreviewRequested);
}

void PicturePanel::Show(const QString& title, const QString& author, const QImage& preview) {
  // Text being typed keeps its cursor: only a different text is put in.
  if (title_->text() != title) title_->setText(title);
  if (author_->text() != author) author_->setText(author);
  thumb_->SetImage(preview);
  previewSize_->setText(preview.isNull()
                            ? tr("No preview")
                            : tr("%1 x %2 pixels").arg(preview.width()).arg(preview.height()));
}

}  // namespace vec::studio
