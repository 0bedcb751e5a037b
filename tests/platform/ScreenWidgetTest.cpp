// The show's window paints the direct output as a 4:3 picture mode: the surface in the
// window's largest 4:3 area, black bars around it, placed in the monitor's device pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <string>

#include "graphics/BlendBitmap.h"
#include "platform/ScreenWindow.h"
#include "tests/platform/ThreeMonitorApp.h"

namespace vec {
namespace {

constexpr QRgb kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
               kYellow = 0xFFFFFF00;

// Red top left, green top right, blue bottom left, yellow bottom right.
BlendBitmap QuarterColours(int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  bmp.FillRect(0, 0, w / 2, h / 2, MakePixel(255, 0, 0));
  bmp.FillRect(w / 2, 0, w, h / 2, MakePixel(0, 255, 0));
  bmp.FillRect(0, h / 2, w / 2, h, MakePixel(0, 0, 255));
  bmp.FillRect(w / 2, h / 2, w, h, MakePixel(255, 255, 0));
  return bmp;
}

// A 320 x 180 window on the monitor at scale 2 covers 640 x 360 device pixels, whose 4:3
// area is 480 x 360 at x = 80 (in logical pixels 240 x 180 at x = 40). Catches the surface
// stretched over the whole window, bars on the wrong axis, and the area worked out in
// logical pixels and then painted as device pixels (it would land at x = 40 of 640).
TEST(ScreenWidget, DirectOutputIsPaintedInTheCentred4To3AreaOfTheDevicePixels) {
  test::ThreeMonitorApp();
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 3);
  ScreenWidget widget(false);
  widget.setWindowFlags(Qt::FramelessWindowHint);
  widget.winId();
  widget.windowHandle()->setScreen(screens[1]);
  widget.setGeometry(QRect(screens[1]->geometry().topLeft(), QSize(320, 180)));
  widget.SetDevicePixelRatio(screens[1]->devicePixelRatio());
  QtDisplay display(widget, 640, 360);
  widget.SetDisplay(&display);
  ASSERT_TRUE(display.InitDirect());
  display.Present(QuarterColours(64, 48), 0, 0);

  const QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shot.size(), QSize(640, 360)) << "the window was not on the scaled monitor";
  struct Probe {
    int x, y;
    QRgb want;
    const char* where;
  } probes[] = {
      {0, 180, kBlack, "left bar"},      {79, 0, kBlack, "left bar's edge"},
      {80, 0, kRed, "area's left edge"}, {559, 359, kYellow, "area's right edge"},
      {560, 359, kBlack, "right bar"},   {639, 180, kBlack, "right bar's edge"},
      {200, 90, kRed, "top left"},       {440, 90, kGreen, "top right"},
      {200, 270, kBlue, "bottom left"},  {440, 270, kYellow, "bottom right"},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(shot.pixel(p.x, p.y), p.want) << p.where << " at " << p.x << "," << p.y;
  widget.SetDisplay(nullptr);
}

}  // namespace
}  // namespace vec
