// studio_shot: draws a photo of a bay, makes a picture of it through the studio's window
// (File > Open, the legend, the rectangle tool, the weather list, a sound slot, a gull
// added and placed with the Place tool), lets the water play and writes the window as a
// PNG, with the photo, the gull, the sound and the saved picture file beside it. Used for
// the screenshots of the studio at 100 % and 200 % (QT_SCALE_FACTOR=2) and as a picture
// file made by the studio for the show to play.
//
//   studio_shot OUT_FOLDER [SECONDS]

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "studio/AreaLegend.h"
#include "studio/FieldsForm.h"
#include "studio/MaskCanvas.h"
#include "studio/ObjectsPanel.h"
#include "studio/PreviewPlayer.h"
#include "studio/SoundsPanel.h"
#include "studio/StudioDialogs.h"
#include "studio/StudioWindow.h"
#include "studio/WeatherPanel.h"
#include "studio/model/PictureDocument.h"
#include "tests/support/SineWav.h"

namespace {

QImage BayPhoto() {
  QImage photo(1280, 720, QImage::Format_RGB32);
  QPainter p(&photo);
  QLinearGradient sky(0, 0, 0, 420);
  sky.setColorAt(0, QColor("#5b87c5"));
  sky.setColorAt(1, QColor("#f2cf9a"));
  p.fillRect(0, 0, 1280, 420, sky);
  QLinearGradient sea(0, 420, 0, 720);
  sea.setColorAt(0, QColor("#3f7fae"));
  sea.setColorAt(1, QColor("#0d2c47"));
  p.fillRect(0, 420, 1280, 300, sea);
  // Glints on the water, so that its movement shows.
  QRandomGenerator random(7);
  for (int i = 0; i < 2500; ++i) {
    const int y = 425 + static_cast<int>(random.bounded(295));
    const int x = static_cast<int>(random.bounded(1280));
    const int shade = 140 + static_cast<int>(random.bounded(100));
    p.fillRect(x, y, 6 + (y - 420) / 20, 1 + (y - 420) / 120, QColor(shade, shade, 255, 120));
  }
  QPainterPath hills;
  hills.moveTo(0, 421);
  for (const QPointF pt :
       {QPointF(0, 330), QPointF(180, 300), QPointF(420, 360), QPointF(640, 300), QPointF(900, 350),
        QPointF(1100, 290), QPointF(1280, 340), QPointF(1280, 421)})
    hills.lineTo(pt);
  p.fillPath(hills, QColor("#2f5a2a"));
  p.fillRect(590, 250, 60, 171, QColor("#6a5a48"));  // a cliff
  p.fillRect(606, 250, 28, 171, QColor("#dde9f2"));  // its falling water
  p.setPen(QColor("#fff3c4"));
  p.setBrush(QColor("#ffe9a8"));
  p.drawEllipse(QPointF(980, 160), 42, 42);
  return photo;
}

// A gull over a white key colour (the bottom-left pixel), as the show keys still objects.
QImage Gull() {
  QImage gull(48, 24, QImage::Format_RGB32);
  gull.fill(Qt::white);
  QPainter p(&gull);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor("#202830"), 3));
  p.drawLine(2, 8, 14, 14);
  p.drawLine(14, 14, 24, 10);
  p.drawLine(24, 10, 34, 14);
  p.drawLine(34, 14, 46, 8);
  return gull;
}

// Answers the window's file questions with the files this program made.
class FixedAnswers final : public vec::studio::StudioDialogs {
 public:
  explicit FixedAnswers(QString answer) : answer_(std::move(answer)) {}
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return answer_;
  }
  void Set(QString answer) { answer_ = std::move(answer); }

 private:
  QString answer_;
};

void Drag(vec::studio::MaskCanvas& canvas, vec::Point from, vec::Point to) {
  QWidget* view = canvas.viewport();
  for (const auto& [type, at, button, held] :
       {std::tuple{QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton},
        std::tuple{QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton},
        std::tuple{QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton}}) {
    const QPointF p = canvas.ViewportPointOf(at);
    QMouseEvent event(type, p, view->mapToGlobal(p), button, Qt::MouseButtons(held),
                      Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("vecsaver");
  QApplication::setApplicationName("vecstudio-shot");
  if (argc < 2) {
    std::fprintf(stderr, "usage: studio_shot OUT_FOLDER [SECONDS]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const double seconds = argc > 2 ? std::atof(argv[2]) : 2.0;
  const QString photo = out + "/bay.png";
  if (!BayPhoto().save(photo)) return 1;

  if (!Gull().save(out + "/gull.bmp", "BMP")) return 1;
  vec::testing::WriteSineWav((out + "/surf.wav").toStdString(), 180, 1.0, 6000);

  vec::studio::StudioWindow window;
  auto answers = std::make_unique<FixedAnswers>(QString());
  FixedAnswers* answer = answers.get();
  window.SetDialogs(std::move(answers));
  window.resize(1400, 860);
  window.show();
  if (!window.OpenPath(photo)) return 1;
  auto& canvas = *window.Canvas();
  // The sea is area 2, the falling water area 3; it rains.
  window.findChild<QAction*>("actionArea2")->trigger();
  window.findChild<QAction*>("actionRectangle")->trigger();
  Drag(canvas, {0, 421}, {1279, 719});
  window.findChild<QAction*>("actionArea3")->trigger();
  window.findChild<QAction*>("actionRectangle")->trigger();
  Drag(canvas, {606, 250}, {633, 420});
  auto* kind = window.Weather()->Form()->findChild<QComboBox*>("Kind");
  kind->setCurrentIndex(2);
  emit kind->activated(2);
  // The surf loops; a gull crosses the sky.
  answer->Set(out + "/surf.wav");
  window.Sounds()->findChild<QToolButton*>("SoundBrowse1")->click();
  answer->Set(out + "/gull.bmp");
  window.Objects()->findChild<QPushButton*>("AddPictureObject")->click();
  auto* motion = window.Objects()->findChild<QComboBox*>("Motion");
  motion->setCurrentIndex(5);  // crosses sideways
  emit motion->activated(5);
  window.findChild<QAction*>("actionPlace")->trigger();
  Drag(canvas, {300, 140}, {320, 150});
  window.findChild<QAction*>("actionArea2")->trigger();
  window.findChild<QAction*>("actionBrush")->trigger();

  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < seconds * 1000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  const QPixmap shot = window.grab();
  if (!shot.save(out + "/vecstudio.png")) return 1;
  if (!window.SaveTo(out + "/bay.vep")) return 1;
  std::printf("%s/vecstudio.png %dx%d, %lld frames in %.1f s\n", argv[1], shot.width(),
              shot.height(), static_cast<long long>(window.Player()->FramesDrawn()), seconds);
  return 0;
}
