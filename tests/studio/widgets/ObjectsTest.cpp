// Animated objects through the window: added from a file, their motion chosen from a list,
// put in place with the Place tool, moving in the preview as in the show, saved.

#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "graphics/ImageFile.h"
#include "picture/PictureFileReader.h"
#include "studio/ObjectsPanel.h"
#include "studio/model/ObjectTexts.h"
#include "tests/studio/StudioTestSupport.h"
#include "tests/studio/widgets/StudioTestWindow.h"

namespace vec::studio::test {
namespace {

class ObjectsTest : public StudioWindowFixture {
 protected:
  void SetUp() override {
    StudioWindowFixture::SetUp();
    path_ = WriteFile("sample.vep", SampleFile());
    OpenThroughMenu(path_);
    Canvas().SetZoom(4.0);
  }
  anim::AnimatedObjectSet& LiveObjects() {
    return const_cast<WaterEngine&>(Window().Player()->Preview().Engine()).Objects();
  }
  QString path_;
};

TEST_F(ObjectsTest, AnObjectIsAddedPlacedAndMovesInThePreviewAsInTheShow) {
  // The sample names bird.bmp, which is not there: it draws nothing. Write it, 6 x 4, its
  // key colour (the bottom-left pixel) white.
  QImage bird(6, 4, QImage::Format_RGB32);
  bird.fill(Qt::black);
  bird.setPixel(0, 3, qRgb(255, 255, 255));
  ASSERT_TRUE(bird.save(PathOf("boat.bmp"), "BMP"));
  Script().fileNames.push_back(PathOf("boat.bmp"));
  QTest::mouseClick(Window().Objects()->findChild<QPushButton*>("AddPictureObject"),
                    Qt::LeftButton);
  auto* list = Window().Objects()->List();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentItem()->text(), "1: boat.bmp (picture)");
  EXPECT_EQ(Window().Objects()->ChosenSection(), 1);

  auto* motion = Window().Objects()->findChild<QComboBox*>("Motion");
  motion->setCurrentIndex(motion->findText("Bounces sideways"));
  emit motion->activated(motion->currentIndex());
  Trigger("actionPlace");
  Press({10, 10});
  MoveHeld({30, 20});
  Release({30, 20});

  const auto objects = ObjectsOf(Document().Stored().objects);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1].Filename, "boat.bmp");  // beside the picture: by its name
  EXPECT_EQ(objects[1].Motion, 3);
  EXPECT_EQ(objects[1].PosLeft, 30);
  EXPECT_EQ(objects[1].PosTop, 20);
  EXPECT_EQ(objects[0], ObjectsOf(SampleContent(64, 40).objects)[0]);

  // In the preview it starts where it was put and moves sideways only.
  ASSERT_EQ(LiveObjects().Count(), 2);
  const anim::AnimatedObject& boat = LiveObjects()[1];
  EXPECT_EQ(boat.ImageWidth(), 6);
  EXPECT_DOUBLE_EQ(boat.X(), 30);
  for (int i = 0; i < 10; ++i) Trigger("actionStep");
  EXPECT_NE(boat.X(), 30);
  EXPECT_DOUBLE_EQ(boat.Y(), 20);
  EXPECT_TRUE(boat.Shown());

  Trigger("actionSave");
  Picture shown;
  ASSERT_TRUE(shown.LoadFromFile(path_.toStdString()));
  ASSERT_EQ(shown.objects.Count(), 2);
  EXPECT_EQ(shown.objects[1].Motion, 3);
  EXPECT_EQ(shown.objects[1].PosLeft, 30);

  // Undo takes the placing back as one step, then the motion, then the object.
  Trigger("actionUndo");
  EXPECT_EQ(ObjectsOf(Document().Stored().objects)[1].PosLeft, 32);
  Trigger("actionUndo");
  Trigger("actionUndo");
  EXPECT_EQ(ObjectsOf(Document().Stored().objects).size(), 1u);
}

TEST_F(ObjectsTest, RemoveTakesTheChosenObjectOut) {
  ASSERT_EQ(Window().Objects()->List()->count(), 1);
  QTest::mouseClick(Window().Objects()->findChild<QPushButton*>("RemoveObject"), Qt::LeftButton);
  EXPECT_EQ(Window().Objects()->List()->count(), 0);
  EXPECT_TRUE(ObjectsOf(Document().Stored().objects).empty());
  EXPECT_FALSE(Window().Objects()->findChild<QPushButton*>("RemoveObject")->isEnabled());
}

}  // namespace
}  // namespace vec::studio::test
