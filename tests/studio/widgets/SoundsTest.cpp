// The sound slots through the window: choosing a file, its play mode and seconds, and the
// Play buttons reaching the show's sound player.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "audio/AudioDevice.h"
#include "picture/PictureFileReader.h"
#include "studio/SoundsPanel.h"
#include "tests/studio/StudioTestSupport.h"
#include "tests/studio/widgets/StudioTestWindow.h"
#include "tests/support/SineWav.h"

namespace vec::studio::test {
namespace {

struct RecordingSoundDevice final : ISoundDevice {
  struct Play {
    int slot;
    bool loop;
    int32_t volume;
  };
  std::vector<std::pair<int, std::string>> loads;
  std::vector<Play> plays;
  int stops = 0;

  bool OpenSlot(int) override { return true; }
  void CloseSlot(int) override {}
  bool LoadSlot(int slot, const std::string& path) override {
    loads.push_back({slot, path});
    return true;
  }
  bool PlaySlot(int slot, bool loop, int32_t volume) override {
    plays.push_back({slot, loop, volume});
    return true;
  }
  void StopSlot(int) override { ++stops; }
  bool SlotPlaying(int) const override { return false; }
  bool PlayFile(const std::string&, bool) override { return false; }
  void StopFile() override {}
};

class SoundsTest : public StudioWindowFixture {
 protected:
  void SetUp() override {
    StudioWindowFixture::SetUp();
    auto device = std::make_unique<RecordingSoundDevice>();
    device_ = device.get();
    Window().SetSoundDevice(std::move(device));
    path_ = WriteFile("sample.vep", SampleFile());
    OpenThroughMenu(path_);
  }
  template <class T>
  T* Control(const QString& name) {
    T* control = Window().Sounds()->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
  void Click(const QString& button) {
    QTest::mouseClick(Control<QToolButton>(button), Qt::LeftButton);
  }

  RecordingSoundDevice* device_ = nullptr;
  QString path_;
};

TEST_F(SoundsTest, ASlotIsChosenSetAndSavedAsTheShowReadsIt) {
  EXPECT_EQ(Control<QLineEdit>("SoundFile2")->text(), "gull.wav");
  EXPECT_EQ(Control<QComboBox>("SoundMode2")->currentText(), "Random pause");
  EXPECT_EQ(Control<QSpinBox>("SoundMax2")->value(), 20);

  const QString bell = PathOf("sounds/bell.wav");
  QDir().mkpath(PathOf("sounds"));
  vec::testing::WriteSineWav(bell.toStdString(), 880, 0.2, 8000);
  Script().fileNames.push_back(bell);
  Click("SoundBrowse3");
  auto* mode = Control<QComboBox>("SoundMode3");
  mode->setCurrentIndex(mode->findText("Interval"));
  emit mode->activated(mode->currentIndex());
  Control<QSpinBox>("SoundMin3")->setValue(30);
  EXPECT_EQ(Document().Stored().soundSlots[2], (SoundSlot{"bell.wav", kPlayFixedInterval, 30, 0}));
  Trigger("actionSave");

  auto bytes = ReadWholeFile(path_.toStdString());
  ASSERT_TRUE(bytes.ok());
  PictureFileReader r;
  ASSERT_TRUE(r.LoadFullFromMemory(bytes->data(), bytes->size()).ok());
  EXPECT_EQ(r.soundSlots[2], (SoundSlot{"bell.wav", kPlayFixedInterval, 30, 0}));
  EXPECT_EQ(r.soundSlots[1], (SoundSlot{"gull.wav", kPlayRandomPause, 5, 20}));

  // The chosen file plays once (an interval sound), at the show's volume of -8 dB.
  Click("SoundPlay3");
  ASSERT_EQ(device_->loads.size(), 1u);
  EXPECT_EQ(device_->loads[0], (std::pair<int, std::string>{2, bell.toStdString()}));
  ASSERT_EQ(device_->plays.size(), 1u);
  EXPECT_EQ(device_->plays[0].slot, 2);
  EXPECT_FALSE(device_->plays[0].loop);
  EXPECT_EQ(device_->plays[0].volume, -800);
}

TEST_F(SoundsTest, ASoundIsLookedForBesideThePictureAndAMissingOneIsSaidSo) {
  Click("SoundPlay1");
  ASSERT_EQ(Script().errors.size(), 1u);
  EXPECT_TRUE(Script().errors[0].contains("\"surf.wav\""));
  EXPECT_TRUE(device_->plays.empty());

  // Stored names are matched ignoring case, as on the system savers are made on.
  vec::testing::WriteSineWav(PathOf("SURF.WAV").toStdString(), 220, 0.2, 8000);
  Click("SoundPlay1");
  ASSERT_EQ(device_->loads.size(), 1u);
  EXPECT_EQ(device_->loads[0].second, PathOf("SURF.WAV").toStdString());
  ASSERT_EQ(device_->plays.size(), 1u);
  EXPECT_TRUE(device_->plays[0].loop);  // slot 1 loops while the picture shows
  QTest::mouseClick(Window().Sounds()->findChild<QPushButton*>("SoundStop"), Qt::LeftButton);
  EXPECT_GE(device_->stops, 8);
}

TEST_F(SoundsTest, TheSingleSoundIsEditedAsItsOwnRecord) {
  auto* single = Control<QLineEdit>("SingleSound");
  single->setFocus();
  QTest::keyClicks(single, "rain.wav");
  EXPECT_EQ(Document().Stored().singleSound, "rain.wav");
  Trigger("actionUndo");
  EXPECT_EQ(Document().Stored().singleSound, "");
  EXPECT_EQ(single->text(), "");
}

}  // namespace
}  // namespace vec::studio::test
