// The picture preview: the picture resampled to exactly the control's size, from picture
// files and plain images, and what it shows when a file cannot be shown.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "configui/controls/PicturePreview.h"
#include "tests/configui/controls/ControlsTestSupport.h"

namespace vec {
namespace {

constexpr Pixel kRed = MakePixel(220, 20, 20);
constexpr Pixel kBlue = MakePixel(20, 20, 220);
constexpr Pixel kGreen = MakePixel(20, 200, 20);
constexpr Pixel kYellow = MakePixel(230, 230, 20);

class Preview : public test::WidgetTest {
 protected:
  void SetUp() override {
    test::App();
    preview.resize(200, 100);
  }
  // Samples well inside each quadrant of the shown picture.
  void ExpectQuadrants(int tolerance = 0) {
    const BlendBitmap& p = preview.picture();
    const int32_t w = p.Width(), h = p.Height();
    ASSERT_FALSE(p.Empty());
    const auto check = [&](int32_t x, int32_t y, Pixel expected) {
      EXPECT_TRUE(test::Near(p.GetPixel(x, y), expected, tolerance))
          << "at " << x << "," << y << ": " << std::hex << p.GetPixel(x, y);
    };
    check(w / 10, h / 10, kRed);
    check(w - 1 - w / 10, h / 10, kBlue);
    check(w / 10, h - 1 - h / 10, kGreen);
    check(w - 1 - w / 10, h - 1 - h / 10, kYellow);
  }

  test::TempFolder dir;
  PicturePreview preview;
};

// A 640 x 480 picture in a 200 x 100 control fills it exactly: squeezed, not letterboxed.
TEST_F(Preview, APictureIsSqueezedToExactlyTheControl) {
  const std::string path = dir / "wide.bmp";
  ASSERT_TRUE(SaveBmp32(test::Quadrants(640, 480, kRed, kBlue, kGreen, kYellow), path).ok());
  ASSERT_TRUE(preview.loadPicture(path));
  EXPECT_EQ(preview.fileName(), path);
  ASSERT_EQ(preview.picture().Width(), 200);
  ASSERT_EQ(preview.picture().Height(), 100);
  ExpectQuadrants();
  // The corners too: no border is left around a picture of another aspect.
  EXPECT_EQ(preview.picture().GetPixel(0, 0), kRed);
  EXPECT_EQ(preview.picture().GetPixel(199, 99), kYellow);
}

// A new size redraws the kept picture at that size.
TEST_F(Preview, ARepaintAtANewSizeStretchesAgain) {
  const std::string path = dir / "q.bmp";
  ASSERT_TRUE(SaveBmp32(test::Quadrants(64, 48, kRed, kBlue, kGreen, kYellow), path).ok());
  ASSERT_TRUE(preview.loadPicture(path));
  preview.resize(30, 170);
  EXPECT_EQ(preview.picture().Width(), 30);
  EXPECT_EQ(preview.picture().Height(), 170);
  ExpectQuadrants();
  const QImage shown = preview.grab().toImage();
  EXPECT_EQ(shown.size(), QSize(30, 170));
  EXPECT_EQ(shown.pixel(2, 160) & 0xFFFFFF, kGreen & 0xFFFFFF);
}

// A picture file shows its full picture, not its preview.
TEST_F(Preview, PictureFilesShowTheirPicture) {
  const std::string path = dir / "scene.VEP";
  test::WriteBytes(path,
                   test::MakePictureFile("Scene", test::Solid(8, 6, MakePixel(0, 0, 0)),
                                         test::Quadrants(64, 48, kRed, kBlue, kGreen, kYellow)));
  ASSERT_TRUE(preview.loadPicture(path)) << preview.lastError();
  EXPECT_EQ(preview.picture().Width(), 200);
  EXPECT_EQ(preview.picture().Height(), 100);
  ExpectQuadrants(12);
}

TEST_F(Preview, PlainJpegImages) {
  const std::string path = dir / "photo.jpg";
  test::WriteBytes(path,
                   EncodeJpeg(test::Quadrants(64, 48, kRed, kBlue, kGreen, kYellow), 95).value());
  ASSERT_TRUE(preview.loadPicture(path)) << preview.lastError();
  ExpectQuadrants(12);
}

// What cannot be shown leaves the control empty, not showing the picture before it.
TEST_F(Preview, WhatCannotBeShownLeavesItEmpty) {
  const std::string good = dir / "good.bmp";
  ASSERT_TRUE(SaveBmp32(test::Solid(10, 10, kRed), good).ok());
  const std::string corrupt = dir / "corrupt.gif";
  test::WriteBytes(corrupt, {'G', 'I', 'F', '8', '9', 'a', 0, 0});
  const std::string badVep = dir / "bad.vep";
  test::WriteBytes(badVep, {'n', 'o', 'p', 'e'});
  test::WriteBytes(dir / "image.png", {1, 2, 3});
  struct Case {
    std::string file;
    bool ok;
  };
  for (const Case& c : {Case{corrupt, false}, Case{badVep, false}, Case{dir / "missing.bmp", false},
                        Case{dir / "image.png", true}}) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(preview.loadPicture(good));
    ASSERT_FALSE(preview.picture().Empty());
    EXPECT_EQ(preview.loadPicture(c.file), c.ok);
    EXPECT_EQ(preview.lastError().empty(), c.ok);
    EXPECT_TRUE(preview.picture().Empty());
    EXPECT_EQ(preview.fileName(), c.file);
    preview.grab();  // paints nothing, without failing
  }
}

TEST_F(Preview, ClicksAreReported) {
  QSignalSpy clicks(&preview, &ClickableWidget::clicked);
  QSignalSpy doubles(&preview, &ClickableWidget::doubleClicked);
  test::SendMouse(&preview, QEvent::MouseButtonPress, {10, 10});
  test::SendMouse(&preview, QEvent::MouseButtonRelease, {10, 10});
  EXPECT_EQ(clicks.count(), 1);
  test::SendMouse(&preview, QEvent::MouseButtonDblClick, {10, 10});
  test::SendMouse(&preview, QEvent::MouseButtonRelease, {10, 10});
  EXPECT_EQ(clicks.count(), 1);  // the second press of a double click is no click
  EXPECT_EQ(doubles.count(), 1);
  test::SendMouse(&preview, QEvent::MouseButtonPress, {10, 10});
  test::SendMouse(&preview, QEvent::MouseButtonRelease, {250, 10});  // let go outside
  EXPECT_EQ(clicks.count(), 1);
  test::SendMouse(&preview, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
  test::SendMouse(&preview, QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(Preview, HintShowsOnlyWithShowHint) {
  preview.setHint("Current picture");
  EXPECT_TRUE(preview.toolTip().isEmpty());
  preview.setShowHint(true);
  EXPECT_EQ(preview.toolTip(), "Current picture");
}

}  // namespace
}  // namespace vec
