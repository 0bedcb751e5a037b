// The studio's files and settings through its window: open and save, the unsaved-changes
// question, the title and the recent files, photos and masks, and the wave and weather
// controls driving the picture and the water engine.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "graphics/ImageFile.h"
#include "picture/PictureFileReader.h"
#include "studio/FieldsForm.h"
#include "studio/PicturePanel.h"
#include "studio/SettingRow.h"
#include "studio/WavePanel.h"
#include "studio/WeatherPanel.h"
#include "studio/model/MaskImages.h"
#include "tests/studio/StudioTestSupport.h"
#include "tests/studio/widgets/StudioTestWindow.h"

namespace vec::studio::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(const QString& path) {
  auto bytes = ReadWholeFile(path.toStdString());
  EXPECT_TRUE(bytes.ok()) << path.toStdString();
  return bytes.ok() ? bytes.value() : std::vector<uint8_t>{};
}

PictureFileReader Read(const std::vector<uint8_t>& bytes) {
  PictureFileReader r;
  EXPECT_TRUE(r.LoadFullFromMemory(bytes.data(), bytes.size()).ok());
  return r;
}

std::vector<uint8_t> ItemBytes(const std::vector<uint8_t>& bytes, const ItemSpan& s) {
  return {bytes.begin() + static_cast<ptrdiff_t>(s.begin),
          bytes.begin() + static_cast<ptrdiff_t>(s.end)};
}

uint64_t Checksum(const BlendBitmap& frame) {
  uint64_t sum = 1469598103934665603ull;
  for (int32_t y = 0; y < frame.Height(); ++y)
    for (int32_t x = 0; x < frame.Width(); ++x)
      sum = (sum ^ frame.GetPixel(x, y)) * 1099511628211ull;
  return sum;
}

using WindowTest = StudioWindowFixture;

TEST_F(WindowTest, OpenAndSaveOfEveryPictureFileInTheTestDataIsByteIdentical) {
  int saved = 0;
  for (const char* folder : {"/picture", "/fuzz/fuzz_picture"}) {
    for (const auto& entry : fs::directory_iterator(std::string(VEC_TEST_DATA) + folder)) {
      const std::vector<uint8_t> original = Bytes(QString::fromStdString(entry.path().string()));
      const QString copy =
          WriteFile(QString::fromStdString(entry.path().filename().string()), original);
      const size_t errors = Script().errors.size();
      OpenThroughMenu(copy);
      if (Window().FilePath() != copy) {
        // Refused with a message that names the file; the window goes on.
        ASSERT_EQ(Script().errors.size(), errors + 1) << entry.path();
        EXPECT_TRUE(Script().errors.back().contains(QFileInfo(copy).fileName()));
        continue;
      }
      Trigger("actionSave");
      EXPECT_TRUE(Bytes(copy) == original) << entry.path();
      ++saved;
    }
  }
  EXPECT_GE(saved, 3);
  EXPECT_EQ(Script().questions, 0);
}

TEST_F(WindowTest, AWaveSliderChangeChangesTheEnginesFramesAndOnlyThatRecord) {
  const QString path = WriteFile("sample.vep", SampleFile());
  const std::vector<uint8_t> original = Bytes(path);
  // The snow is placed at random: every run starts from one seed.
  LockRandomize(true);
  OpenThroughMenu(path);
  auto frames = [&] {
    SetRandSeed(1234);
    Window().Player()->Restart();
    std::vector<uint64_t> out;
    for (int i = 0; i < 3; ++i) {
      Trigger("actionStep");
      out.push_back(Checksum(Window().Player()->Preview().Frame()));
    }
    return out;
  };
  const std::vector<uint64_t> before = frames();
  EXPECT_EQ(frames(), before);

  // Area 1 (the sample's water) is shown; its amplitude goes one page up by the slider.
  SettingRow* amplitude = Window().Waves()->findChild<SettingRow*>("Amplitude");
  ASSERT_NE(amplitude, nullptr);
  EXPECT_EQ(amplitude->Value(), 3);
  amplitude->Slider()->triggerAction(QSlider::SliderPageStepAdd);
  EXPECT_EQ(Document().Stored().waves[0].Amplitude, 13);
  EXPECT_EQ(Document().Live().waveSets[0].Amplitude, 13);
  EXPECT_EQ(amplitude->Number()->value(), 13);
  const std::vector<uint64_t> after = frames();
  for (size_t i = 0; i < after.size(); ++i) EXPECT_NE(after[i], before[i]) << "frame " << i;

  Trigger("actionSave");
  const std::vector<uint8_t> saved = Bytes(path);
  const PictureFileReader r0 = Read(original), r1 = Read(saved);
  for (size_t i = 0; i < kPictureItemCount; ++i) {
    if (static_cast<PictureItem>(i) == PictureItem::WaveSets) continue;
    EXPECT_EQ(ItemBytes(original, r0.items[i]), ItemBytes(saved, r1.items[i])) << "item " << i;
  }
  EXPECT_EQ(r1.waves[0].Amplitude, 13);
  for (int k = 1; k < 4; ++k) EXPECT_EQ(r1.waves[k], r0.waves[k]) << "wave " << k;

  Trigger("actionUndo");
  EXPECT_EQ(amplitude->Value(), 3);
  EXPECT_EQ(frames(), before);
  LockRandomize(false);
}

TEST_F(WindowTest, AnEditOfOneWaveThroughItsNumberKeepsEveryOtherRecord) {
  const QString path = WriteFile("sample.vep", SampleFile());
  const std::vector<uint8_t> original = Bytes(path);
  OpenThroughMenu(path);
  Trigger("actionArea2");
  SettingRow* cycles = Window().Waves()->findChild<SettingRow*>("Cycles");
  ASSERT_NE(cycles, nullptr);
  EXPECT_EQ(cycles->Value(), 6);
  cycles->Number()->setValue(17);
  Trigger("actionSave");
  const std::vector<uint8_t> saved = Bytes(path);
  ASSERT_EQ(saved.size(), original.size());
  // Only the Cycles field of the second wave record (4 bytes after its start) differs.
  const size_t cyclesAt = Read(original).Item(PictureItem::WaveSets).begin + 4 + 32 + 4;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (i >= cyclesAt && i < cyclesAt + 4) continue;
    ASSERT_EQ(saved[i], original[i]) << "byte " << i;
  }
  EXPECT_EQ(saved[cyclesAt], 17);
}

TEST_F(WindowTest, AValueOutsideItsRangeIsShownAndKeptUntilEdited) {
  PictureFileContent c = SampleContent(64, 40);
  c.waves[0].Amplitude = 500;
  c.waves[0].Horizontal = 7;  // any nonzero byte is "on"
  c.weather = {kWeatherSnow, 5000, 30, 90, 20, 15};
  const QString path = WriteFile("wild.vep", WritePictureFile(c));
  OpenThroughMenu(path);
  SettingRow* amplitude = Window().Waves()->findChild<SettingRow*>("Amplitude");
  EXPECT_EQ(amplitude->Number()->value(), 500);
  EXPECT_TRUE(amplitude->ShowsValueOutsideRange());
  EXPECT_EQ(amplitude->Slider()->value(), 100);
  EXPECT_TRUE(Window().Waves()->findChild<QCheckBox*>("Horizontal")->isChecked());
  FieldsForm* weather = Window().Weather()->Form();
  EXPECT_EQ(weather->findChild<SettingRow*>("Count")->Number()->value(), 5000);
  EXPECT_EQ(weather->findChild<QLabel*>("SpeedIndexDescription")->text(), "not in the table");

  // Another setting edited: the values outside stay as they are in the file.
  Window().Waves()->findChild<SettingRow*>("Cycles")->Number()->setValue(9);
  Trigger("actionSave");
  PictureFileReader r = Read(Bytes(path));
  EXPECT_EQ(r.waves[0].Amplitude, 500);
  EXPECT_EQ(r.waves[0].Horizontal, 7);
  EXPECT_EQ(r.waves[0].Cycles, 9);
  EXPECT_EQ(r.weather, c.weather);

  // Moved by the user, the setting keeps to its range.
  amplitude->Slider()->triggerAction(QSlider::SliderPageStepSub);
  EXPECT_FALSE(amplitude->ShowsValueOutsideRange());
  EXPECT_EQ(Document().Stored().waves[0].Amplitude, 90);
  EXPECT_EQ(amplitude->Number()->maximum(), 100);
}

TEST_F(WindowTest, WeatherControlsChangeTheWeatherTheEngineDraws) {
  OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
  auto* kind = Window().Weather()->Form()->findChild<QComboBox*>("Kind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->currentText(), "Snow");
  kind->setCurrentIndex(kind->findText("Rain"));
  emit kind->activated(kind->currentIndex());
  EXPECT_EQ(Document().Stored().weather.Kind, kWeatherRain);
  EXPECT_EQ(Document().Live().weather.Opacity, 6);  // stored 0: the rain's default
  EXPECT_NE(dynamic_cast<const Rain*>(
                const_cast<WaterEngine&>(Window().Player()->Preview().Engine()).Weather()),
            nullptr);
  Window().Weather()->Form()->findChild<SettingRow*>("SpeedIndex")->Number()->setValue(13);
  EXPECT_EQ(Window().Weather()->Form()->findChild<QLabel*>("SpeedIndexDescription")->text(),
            "160 %");
  EXPECT_EQ(Document().Stored().weather.SpeedIndex, 13);
}

TEST_F(WindowTest, UnsavedChangesAreAskedAboutOnClose) {
  OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
  EXPECT_TRUE(Window().windowTitle().startsWith("sample.vep"));
  EXPECT_FALSE(Window().isWindowModified());
  Window().Waves()->findChild<SettingRow*>("Cycles")->Number()->setValue(11);
  EXPECT_TRUE(Window().isWindowModified());

  Script().answers.push_back(QMessageBox::Cancel);
  EXPECT_FALSE(Window().close());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(Script().questions, 1);

  Script().answers.push_back(QMessageBox::Save);
  EXPECT_TRUE(Window().close());
  EXPECT_EQ(Read(Bytes(PathOf("sample.vep"))).waves[0].Cycles, 11);
}

TEST_F(WindowTest, OpeningAnotherPictureAsksAboutChangesAndDiscardKeepsTheFile) {
  const QString first = WriteFile("first.vep", SampleFile());
  const std::vector<uint8_t> firstBytes = Bytes(first);
  OpenThroughMenu(first);
  Window().Waves()->findChild<SettingRow*>("Cycles")->Number()->setValue(12);
  Script().answers.push_back(QMessageBox::Discard);
  OpenThroughMenu(WriteFile("second.vep", SampleFile(32, 20)));
  EXPECT_EQ(Script().questions, 1);
  EXPECT_EQ(Document().Width(), 32);
  EXPECT_EQ(Bytes(first), firstBytes);
}

TEST_F(WindowTest, RecentFilesListTheNewestFirstAndReopen) {
  const QString a = WriteFile("a.vep", SampleFile()), b = WriteFile("b.vep", SampleFile(32, 20));
  OpenThroughMenu(a);
  OpenThroughMenu(b);
  EXPECT_EQ(Window().RecentFiles(), (QStringList{b, a}));
  auto* menu = Window().findChild<QMenu*>("menuRecent");
  ASSERT_NE(menu, nullptr);
  ASSERT_GE(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[1]->text(), "&2 a.vep");
  menu->actions()[1]->trigger();
  EXPECT_EQ(Window().FilePath(), a);
  EXPECT_EQ(Window().RecentFiles(), (QStringList{a, b}));
}

TEST_F(WindowTest, APngPhotoMakesANewPictureSavedWhereTheAuthorSays) {
  QImage png(120, 80, QImage::Format_RGB32);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) png.setPixel(x, y, qRgb(x * 2, y * 3, 90));
  const QString photo = PathOf("bay.png");
  ASSERT_TRUE(png.save(photo));
  OpenThroughMenu(photo);
  ASSERT_NE(Window().Document(), nullptr);
  EXPECT_EQ(Document().Width(), 120);
  EXPECT_EQ(Document().Height(), 80);
  EXPECT_TRUE(Window().windowTitle().startsWith("bay.vep"));
  EXPECT_TRUE(Window().isWindowModified());
  EXPECT_TRUE(Window().FilePath().isEmpty());

  const QString target = PathOf("bay.vep");
  Script().fileNames.push_back(target);
  Trigger("actionSave");
  EXPECT_EQ(Window().FilePath(), target);
  EXPECT_FALSE(Window().isWindowModified());
  Picture shown;
  ASSERT_TRUE(shown.LoadFromFile(target.toStdString()));
  EXPECT_EQ(shown.image.Width(), 120);
  EXPECT_EQ(shown.Title, "bay");
  // The PNG's pixels, through the JPEG the file keeps (a smooth gradient comes back close).
  const Pixel p = shown.image.GetPixel(50, 20);
  EXPECT_NEAR(PixelR(p), 100, 6);
  EXPECT_NEAR(PixelG(p), 60, 6);
}

TEST_F(WindowTest, ADamagedFileOrPhotoGivesAMessageAndKeepsThePictureOpen) {
  OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
  const PictureDocument* open = Window().Document();
  auto damaged = SampleFile();
  damaged.resize(damaged.size() / 2);
  OpenThroughMenu(WriteFile("cut.vep", damaged));
  OpenThroughMenu(WriteFile("noise.png", {0x89, 'P', 'N', 'G', 1, 2, 3}));
  ASSERT_EQ(Script().errors.size(), 2u);
  EXPECT_TRUE(Script().errors[0].contains("cut.vep"));
  EXPECT_TRUE(Script().errors[1].contains("noise.png"));
  EXPECT_EQ(Window().Document(), open);
}

TEST_F(WindowTest, TheMaskIsExportedAndImportedByItsColours) {
  OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
  const AreaMask opened = Document().Mask();
  const QString exported = PathOf("mask.png");
  Script().fileNames.push_back(exported);
  Trigger("actionExportMask");
  QImage image(exported);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 39), qRgb(0, 0, 255));  // area 1 in blue
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));

  // Painted elsewhere with smoothed colours and at half the size, it comes back fitted.
  QImage painted(32, 20, QImage::Format_RGB32);
  painted.fill(qRgb(12, 8, 4));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 16; ++x) painted.setPixel(x, y, qRgb(240, 250, 30));  // yellowish
  ASSERT_TRUE(painted.save(PathOf("painted.png")));
  Script().fileNames.push_back(PathOf("painted.png"));
  Trigger("actionImportMask");
  EXPECT_EQ(PixelsOf(Document().Mask(), 4), Block(0, 0, 31, 19));
  EXPECT_EQ(PixelsOf(Document().Mask(), 4).size() + PixelsOf(Document().Mask(), 0).size(),
            64u * 40u);
  Trigger("actionUndo");
  EXPECT_EQ(Document().Mask(), opened);
  Script().fileNames.push_back(exported);
  Trigger("actionImportMask");
  EXPECT_EQ(Document().Mask(), opened);
}

}  // namespace
}  // namespace vec::studio::test

namespace vec::studio::test {
namespace {

TEST_F(WindowTest, TheTitleIsTypedAsOneChangeAndStoredInTheFilesCharacterSet) {
  const QString path = WriteFile("sample.vep", SampleFile());
  OpenThroughMenu(path);
  auto* title = Window().PictureTexts()->findChild<QLineEdit*>("Title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "Harbour");
  title->selectAll();
  // Typed key by key, the accented letters too.
  for (const QChar c : QString::fromUtf8("Baie d'été")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(title, &press);
  }
  EXPECT_EQ(Document().Stored().Title, "Baie d'\xE9t\xE9");
  Trigger("actionSave");
  EXPECT_EQ(Read(Bytes(path)).Title, "Baie d'\xE9t\xE9");
  Trigger("actionUndo");
  EXPECT_EQ(Document().Stored().Title, "Harbour");
  EXPECT_EQ(title->text(), "Harbour");
}

TEST_F(WindowTest, ThePreviewIsMadeFromThePhotoOrChosen) {
  OpenThroughMenu(WriteFile("sample.vep", SampleFile()));
  EXPECT_EQ(Document().Live().preview.Width(), 16);
  QTest::mouseClick(Window().PictureTexts()->findChild<QPushButton*>("MakePreview"),
                    Qt::LeftButton);
  EXPECT_EQ(Document().Live().preview.Width(), 160);
  EXPECT_EQ(Document().Live().preview.Height(), 100);
  EXPECT_EQ(Window().PictureTexts()->findChild<QLabel*>("PreviewSize")->text(), "160 x 100 pixels");

  const QString jpeg = QString(VEC_TEST_DATA) + "/images/picture64x40.jpg";
  Script().fileNames.push_back(jpeg);
  QTest::mouseClick(Window().PictureTexts()->findChild<QPushButton*>("ChoosePreview"),
                    Qt::LeftButton);
  EXPECT_EQ(Document().Stored().previewJpeg, Bytes(jpeg));
  EXPECT_EQ(Document().Live().preview.Width(), 64);
  Trigger("actionUndo");
  EXPECT_EQ(Document().Live().preview.Width(), 160);
}

}  // namespace
}  // namespace vec::studio::test

namespace vec::studio::test {
namespace {

TEST_F(WindowTest, TheLayoutBrushAndMaskStrengthAreKeptBetweenRuns) {
  Window().findChild<QSlider*>("MaskStrength")->setValue(70);
  Window().findChild<QSpinBox*>("BrushSize")->setValue(33);
  Window().resize(1100, 760);
  const QSize size = Window().size();
  ASSERT_TRUE(Window().close());
  StudioWindow again;
  EXPECT_EQ(again.findChild<QSlider*>("MaskStrength")->value(), 70);
  EXPECT_EQ(again.Canvas()->MaskStrength(), 70);
  EXPECT_EQ(again.Canvas()->BrushSize(), 33);
  EXPECT_EQ(again.size(), size);
}

}  // namespace
}  // namespace vec::studio::test
