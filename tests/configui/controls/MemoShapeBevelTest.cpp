// The memo's Text, the shape's geometry and the bevel's lines, and their click events.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "configui/controls/BevelControl.h"
#include "configui/controls/MemoControl.h"
#include "configui/controls/ShapeControl.h"
#include "tests/configui/controls/ControlsTestSupport.h"

namespace vec {
namespace {

// Written text -> lines -> Text read back.
TEST(MemoText, LinesAndCrLf) {
  struct Case {
    const char* written;
    QStringList lines;
    const char* read;
  };
  const Case cases[] = {
      {"", {}, ""},
      {"one", {"one"}, "one\r\n"},
      {"one\r\ntwo", {"one", "two"}, "one\r\ntwo\r\n"},
      {"one\r\n", {"one"}, "one\r\n"},  // a final break starts no line
      {"one\r\n\r\n", {"one", ""}, "one\r\n\r\n"},
      {"a\nb\rc", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"\r\n", {""}, "\r\n"},
  };
  for (const Case& c : cases) {
    const QStringList lines = SplitMemoText(QString::fromUtf8(c.written));
    EXPECT_EQ(lines, c.lines) << c.written;
    EXPECT_EQ(JoinMemoLines(lines), QString::fromUtf8(c.read)) << c.written;
  }
}

TEST(MemoControl, TextEndsEveryLineWithCrLf) {
  test::App();
  MemoControl memo;
  EXPECT_EQ(memo.text(), "");
  memo.setText("Welcome to <ScreensaverName>\r\nby <CompanyName>");
  EXPECT_EQ(memo.lines(), (QStringList{"Welcome to <ScreensaverName>", "by <CompanyName>"}));
  EXPECT_EQ(memo.text(), "Welcome to <ScreensaverName>\r\nby <CompanyName>\r\n");
  memo.setText(memo.text());  // what is read can be written back unchanged
  EXPECT_EQ(memo.text(), "Welcome to <ScreensaverName>\r\nby <CompanyName>\r\n");
}

// Hand-worked from the shape rules: inset by pen width div 2, size less pen width - 1, the
// square kinds centred with the smaller side, round corners a quarter of that side.
TEST(ShapeGeometry, BoundsAndCorners) {
  struct Case {
    ShapeKind kind;
    int32_t w, h, pen;
    Rect bounds;
    int32_t corner;
  };
  const Case cases[] = {
      {ShapeKind::Rectangle, 100, 60, 1, {0, 0, 100, 60}, 0},
      {ShapeKind::Square, 100, 60, 1, {20, 0, 80, 60}, 0},
      {ShapeKind::Square, 60, 100, 1, {0, 20, 60, 80}, 0},
      {ShapeKind::Circle, 100, 60, 3, {21, 1, 79, 59}, 0},
      {ShapeKind::RoundRect, 100, 60, 1, {0, 0, 100, 60}, 15},
      {ShapeKind::RoundSquare, 101, 40, 2, {31, 1, 70, 40}, 9},
      {ShapeKind::Ellipse, 50, 30, 0, {0, 0, 50, 30}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(c.kind) << " " << c.w << "x" << c.h << " pen " << c.pen);
    const ShapeGeometry g = ShapeGeometryOf(c.kind, c.w, c.h, c.pen);
    EXPECT_EQ(g.bounds, c.bounds);
    EXPECT_EQ(g.cornerSize, c.corner);
  }
}

TEST(ShapeControl, PaintsItsBrushAndReportsClicks) {
  test::App();
  ShapeControl shape;
  shape.resize(40, 30);
  shape.setBrushColor(MakePixel(10, 200, 30));
  shape.setPenColor(MakePixel(200, 10, 10));
  const QImage image = shape.grab().toImage();
  EXPECT_EQ(image.pixel(20, 15) & 0xFFFFFF, 0x0AC81Eu);  // the brush inside
  EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xC80A0Au);    // the pen on the outline
  QSignalSpy clicks(&shape, &ClickableWidget::clicked);
  QSignalSpy downs(&shape, &ClickableWidget::mouseDown);
  QSignalSpy ups(&shape, &ClickableWidget::mouseUp);
  test::SendMouse(&shape, QEvent::MouseButtonPress, {5, 6});
  test::SendMouse(&shape, QEvent::MouseButtonRelease, {5, 6});
  EXPECT_EQ(clicks.count(), 1);
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs.at(0).at(2).toPoint(), QPoint(5, 6));
  EXPECT_EQ(ups.count(), 1);
}

constexpr Pixel kHi = MakePixel(255, 255, 255);
constexpr Pixel kSh = MakePixel(128, 128, 128);
const std::map<char, Pixel> kBevelLegend{{'H', kHi}, {'S', kSh}, {'.', 0}};

SystemColors BevelColors() {
  SystemColors c;
  c.buttonHighlight = kHi;
  c.buttonShadow = kSh;
  return c;
}

TEST(Bevel, LinesPerShapeAndStyle) {
  struct Case {
    BevelShape shape;
    BevelStyle style;
    std::vector<std::string> art;
  };
  const Case cases[] = {
      {BevelShape::Box, BevelStyle::Lowered, {"SSSSH", "S...H", "S...H", "SHHHH"}},
      {BevelShape::Box, BevelStyle::Raised, {"HHHHS", "H...S", "H...S", "HSSSS"}},
      {BevelShape::Frame, BevelStyle::Lowered, {"SSSS.", "SHHSH", "SSSSH", ".HHHH"}},
      {BevelShape::TopLine, BevelStyle::Lowered, {"SSSSS", "HHHHH", ".....", "....."}},
      {BevelShape::BottomLine, BevelStyle::Raised, {".....", ".....", "HHHHH", "SSSSS"}},
      {BevelShape::LeftLine, BevelStyle::Lowered, {"SH...", "SH...", "SH...", "SH..."}},
      {BevelShape::RightLine, BevelStyle::Lowered, {"...SH", "...SH", "...SH", "...SH"}},
      {BevelShape::Spacer, BevelStyle::Lowered, {".....", ".....", ".....", "....."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shape " << static_cast<int>(c.shape) << " style "
                                    << static_cast<int>(c.style));
    BlendBitmap bmp(5, 4);
    PaintBevel(c.shape, c.style, BevelColors(), bmp);
    test::ExpectArt(bmp, 0, 0, c.art, kBevelLegend);
  }
}

TEST(BevelControl, ReportsClicks) {
  test::App();
  BevelControl bevel;
  bevel.resize(30, 10);
  bevel.setShape(BevelShape::TopLine);
  QSignalSpy clicks(&bevel, &ClickableWidget::clicked);
  QSignalSpy moves(&bevel, &ClickableWidget::mouseMove);
  test::SendMouse(&bevel, QEvent::MouseMove, {3, 4});
  test::SendMouse(&bevel, QEvent::MouseButtonPress, {3, 4});
  test::SendMouse(&bevel, QEvent::MouseButtonRelease, {3, 4});
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(moves.count(), 1);
}

}  // namespace
}  // namespace vec
