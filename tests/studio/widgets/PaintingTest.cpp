// Painting the areas through the window: the tools' actions, the legend, the brush size and
// the mouse on the canvas, as an author does it.

#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "studio/AreaLegend.h"
#include "studio/SettingRow.h"
#include "studio/WavePanel.h"
#include "tests/studio/StudioTestSupport.h"
#include "tests/studio/widgets/StudioTestWindow.h"

namespace vec::studio::test {
namespace {

class PaintingTest : public StudioWindowFixture {
 protected:
  void SetUp() override {
    StudioWindowFixture::SetUp();
    OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
    ASSERT_NE(window_->Document(), nullptr);
    // Four screen pixels a picture pixel, so every event lands well inside its pixel.
    Canvas().SetZoom(4.0);
    opened_ = Document().Mask();
  }
  void ChooseArea(int area) {
    QTest::mouseClick(Window().Legend(), Qt::LeftButton, {},
                      Window().Legend()->EntryRect(area).center());
  }
  void SetBrushSize(int size) {
    auto* spin = Window().findChild<QSpinBox*>("BrushSize");
    ASSERT_NE(spin, nullptr);
    spin->setValue(size);
  }
  AreaMask opened_;
};

TEST_F(PaintingTest, AnArea2StrokeOfSize5SetsTheHandWorkedPixelsAndUndoRestoresThem) {
  ChooseArea(2);
  Trigger("actionBrush");
  SetBrushSize(5);
  Press({10, 10});
  for (int32_t x = 14; x <= 50; x += 4) MoveHeld({x, 10});
  Release({50, 10});
  EXPECT_EQ(PixelsOf(Document().Mask(), 2), HandWorkedStroke());
  // Nothing else changed: the lower half is still area 1.
  EXPECT_EQ(PixelsOf(Document().Mask(), 1), PixelsOf(opened_, 1));
  EXPECT_TRUE(Window().isWindowModified());

  Trigger("actionUndo");
  EXPECT_EQ(Document().Mask(), opened_);
  EXPECT_FALSE(Window().isWindowModified());
  Trigger("actionRedo");
  EXPECT_EQ(PixelsOf(Document().Mask(), 2), HandWorkedStroke());
}

TEST_F(PaintingTest, AStrokeIsOneUndoStepAndTheEraserTakesPixelsOut) {
  ChooseArea(4);
  SetBrushSize(1);
  Press({2, 2});
  MoveHeld({2, 6});
  MoveHeld({6, 6});
  Release({6, 6});
  EXPECT_EQ(PixelsOf(Document().Mask(), 4).size(), 9u);
  Trigger("actionEraser");
  Press({2, 30});  // inside area 1
  Release({2, 30});
  EXPECT_EQ(Document().Mask().At(2, 30), 0);
  Trigger("actionUndo");
  EXPECT_EQ(Document().Mask().At(2, 30), 1);
  EXPECT_EQ(PixelsOf(Document().Mask(), 4).size(), 9u);
  Trigger("actionUndo");
  EXPECT_EQ(Document().Mask(), opened_);
}

TEST_F(PaintingTest, AFloodFillStopsAtTheAreaBorder) {
  // A ring of area 2 one pixel wide around columns 6..14, rows 4..11 of the empty upper half.
  ChooseArea(2);
  SetBrushSize(1);
  Press({5, 3});
  for (const Point p : {Point{15, 3}, Point{15, 12}, Point{5, 12}, Point{5, 3}}) MoveHeld(p);
  Release({5, 3});
  ASSERT_EQ(PixelsOf(Document().Mask(), 2).size(), 11u * 10u - 9u * 8u);
  ChooseArea(4);
  Trigger("actionFill");
  Click({8, 8});
  EXPECT_EQ(PixelsOf(Document().Mask(), 4), Block(6, 4, 14, 11));
  EXPECT_EQ(PixelsOf(Document().Mask(), 2).size(), 11u * 10u - 9u * 8u);
  // Outside the ring the upper half is still no area, the lower half still area 1.
  EXPECT_EQ(Document().Mask().At(0, 0), 0);
  EXPECT_EQ(Document().Mask().At(20, 5), 0);
  EXPECT_EQ(PixelsOf(Document().Mask(), 1), PixelsOf(opened_, 1));
  // A fill outside the ring covers the rest of the upper half and stops at area 1 below.
  ChooseArea(3);
  Trigger("actionFill");
  Click({30, 2});
  EXPECT_EQ(PixelsOf(Document().Mask(), 3).size(), 64u * 20u - 11u * 10u);
  EXPECT_EQ(PixelsOf(Document().Mask(), 1), PixelsOf(opened_, 1));
}

TEST_F(PaintingTest, RectangleAndPolygonPaintTheirShapes) {
  ChooseArea(4);
  Trigger("actionRectangle");
  Press({12, 9});
  MoveHeld({20, 15});
  Release({4, 2});
  EXPECT_EQ(PixelsOf(Document().Mask(), 4), Block(4, 2, 12, 9));

  ChooseArea(3);
  Trigger("actionPolygon");
  Click({30, 0});
  Click({40, 0});
  Click({30, 10});
  QTest::keyClick(Canvas().viewport(), Qt::Key_Return);
  std::set<std::pair<int32_t, int32_t>> triangle;
  for (int32_t y = 0; y <= 10; ++y)
    for (int32_t x = 0; x + y <= 10; ++x) triangle.insert({30 + x, y});
  EXPECT_EQ(PixelsOf(Document().Mask(), 3), triangle);
  EXPECT_TRUE(Canvas().PolygonCorners().empty());
}

TEST_F(PaintingTest, ZoomGoesTo800PercentAndTheStatusLineNamesTheArea) {
  for (int i = 0; i < 20; ++i) Window().findChild<QAction*>("actionZoomIn")->trigger();
  EXPECT_DOUBLE_EQ(Canvas().Zoom(), 8.0);
  EXPECT_EQ(Window().findChild<QLabel*>("StatusZoom")->text(), "800 %");
  Trigger("actionActualSize");
  EXPECT_DOUBLE_EQ(Canvas().Zoom(), 1.0);
  Hover({3, 30});
  EXPECT_EQ(Window().findChild<QLabel*>("StatusPosition")->text(), "x 3, y 30 — Area 1");
  Hover({60, 2});
  EXPECT_EQ(Window().findChild<QLabel*>("StatusPosition")->text(), "x 60, y 2 — no area");
}

TEST_F(PaintingTest, TheAreaKeysChooseTheAreaTheLegendAndTheWavesShow) {
  Trigger("actionArea3");
  EXPECT_EQ(Window().Legend()->Area(), 3);
  EXPECT_EQ(Canvas().Area(), 3);
  EXPECT_EQ(Window().findChild<QLabel*>("WaveTitle")->text(), "Waves of Area 3");
  // The sample's area 3 has Amplitude 5 (3 + its index 2).
  EXPECT_EQ(Window().Waves()->findChild<SettingRow*>("Amplitude")->Value(), 5);
}

}  // namespace
}  // namespace vec::studio::test
