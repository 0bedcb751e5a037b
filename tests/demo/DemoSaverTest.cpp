// The demo saver as built (build/Demo.scr), unpacked into a scratch folder: what it shows
// must be what the runtime can do. Its pictures fill a screen, its settings lie within the
// Settings dialog's ranges, the lake's bird flies, its windows name the saver and run their
// actions, and every text of its windows and of the Settings dialog shows whole.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "animation/AnimatedObjectSet.h"
#include "base/Clock.h"
#include "configui/ConfigWindow.h"
#include "configui/DesignedWindow.h"
#include "configui/FormBuilder.h"
#include "configui/FormDefinitions.h"
#include "configui/PanelWidget.h"
#include "configui/SettingsDialog.h"
#include "configui/controls/ImageButton.h"
#include "graphics/ImageFile.h"
#include "package/Package.h"
#include "package/SaverSettings.h"
#include "picture/Picture.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TextFit.h"

namespace vec {
namespace {

namespace fs = std::filesystem;

// The demo unpacked once for the whole program, into a folder removed at its end.
class DemoSaver : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string tmpl = fs::temp_directory_path() / "demo-saver-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    folder_ = tmpl + "/";
    settings_ = std::make_unique<SaverSettings>();
    const ExtractReport report = ExtractPackage(*settings_, VEC_DEMO_SAVER, folder_);
    ASSERT_EQ(report.error, PackageError::None) << VEC_DEMO_SAVER;
  }
  static void TearDownTestSuite() {
    settings_.reset();
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  void SetUp() override {
    ASSERT_TRUE(settings_) << "the demo saver could not be unpacked";
    test::OffscreenApp();
  }

  static const std::vector<std::string>& Pictures() { return settings_->FileList.FileNames; }

  static inline std::string folder_;
  static inline std::unique_ptr<SaverSettings> settings_;
};

// A designed window of the demo as it opens for a user without settings: placeholders filled
// from the saver, grids and previews filled, visibility from the tags; the services record
// what the actions ask for.
struct OpenWindow {
  FormCollection forms;
  ConfigWindowContext context;
  std::unique_ptr<DesignedWindow> window;
  std::unique_ptr<ConfigWindow> behaviour;
  std::vector<std::string> previews, windowsOpened;

  OpenWindow(SaverSettings& settings, const std::string& name) {
    EXPECT_TRUE(forms.LoadDefinitions(settings.UISetting.UIFile).ok());
    context.forms = &forms;
    context.settings = &settings;
    context.settingsAccess = true;
    context.services.previewPicture = [this](const std::string& p) { previews.push_back(p); };
    auto built = BuildDesignedWindow(forms, name);
    EXPECT_TRUE(built.ok()) << name << ": " << (built.ok() ? "" : built.error().message);
    if (!built.ok()) return;
    window = built.release_value();
    behaviour = std::make_unique<ConfigWindow>(context, *window);
    behaviour->FillPlaceholders();
    behaviour->Prepare();
  }
};

// Every text a window shows: labels, panel captions, image-button captions.
std::vector<std::string> TextsOf(QWidget& window) {
  std::vector<std::string> texts;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (auto* label = qobject_cast<QLabel*>(w)) texts.push_back(label->text().toStdString());
    if (auto* panel = dynamic_cast<PanelWidget*>(w))
      texts.push_back(panel->Caption().toStdString());
    if (auto* button = dynamic_cast<ImageButton*>(w))
      texts.push_back(button->caption().toStdString());
  }
  return texts;
}

// Catches stills of a few pixels (32 x 24 made a speck of a wallpaper) and pictures of
// the show smaller than a common screen.
TEST_F(DemoSaver, EveryPictureFillsAScreen) {
  ASSERT_EQ(Pictures().size(), 6u);
  for (const std::string& path : Pictures()) {
    SCOPED_TRACE(path);
    int32_t width = 0, height = 0;
    if (path.ends_with(".vep")) {
      Picture picture;
      ASSERT_TRUE(picture.LoadFromFile(path)) << picture.LastError();
      width = picture.image.Width();
      height = picture.image.Height();
    } else {
      ErrorOr<BlendBitmap> image = LoadImageFromFile(path);
      ASSERT_TRUE(image.ok());
      width = image->Width();
      height = image->Height();
    }
    EXPECT_GE(width, 1280);
    EXPECT_GE(height, 720);
  }
}

// The package's settings are values the Settings dialog shows as they are, so opening it
// and pressing OK keeps them. Catches a duration outside 10..999 (the dialog showed 8 as 10
// and wrote 10 back).
TEST_F(DemoSaver, SettingsLieWithinTheDialogsRanges) {
  const ShowSettings& s = settings_->Setting;
  EXPECT_GE(s.Duration, 10);
  EXPECT_LE(s.Duration, 999);
  EXPECT_GE(s.ShowImageMode, 0);
  EXPECT_LE(s.ShowImageMode, 3);
  SettingsDialog dialog(s, SettingsAccess{false, {}});
  EXPECT_EQ(dialog.findChild<QLineEdit*>("txtDuration")->text().toStdString(),
            std::to_string(s.Duration));
  ErrorOr<DialogSettings> shown = dialog.ChosenValues();
  ASSERT_TRUE(shown.ok());
  EXPECT_EQ(shown->Duration, s.Duration);
  EXPECT_EQ(shown->ImageMode, s.ShowImageMode);
}

// The lake's bird, stepped as its worker steps it for 40 simulated seconds over a 1280 x
// 720 show: it is drawn, flies to the right across the whole width of the sky (leaving on
// the right and coming in again on the left) and keeps to the sky. Catches a bird that
// stays put (Motion 0), one that turns back, and one whose image is not found.
TEST_F(DemoSaver, TheLakesBirdCrossesTheSky) {
  const auto lake = std::find_if(Pictures().begin(), Pictures().end(),
                                 [](const std::string& p) { return p.ends_with("Lake.vep"); });
  ASSERT_NE(lake, Pictures().end());
  Picture picture;
  ASSERT_TRUE(picture.LoadFromFile(*lake)) << picture.LastError();
  anim::AnimatedObjectSet objects;
  objects.LoadData(picture.objects.entries);
  ASSERT_EQ(objects.Count(), 1);
  FakeClock clock;
  anim::AnimatedObject& bird = objects[0];
  bird.SetMoveArea({0, 0, 1280, 720});
  bird.SetDesignSize(picture.designWidth, picture.designHeight);
  bird.SetClock(&clock);
  bird.SetThreaded(false);
  bird.SetPackageFolder(folder_);
  bird.Start();
  ASSERT_EQ(bird.ImageWidth(), 64);

  double lowest = 1e9, highest = -1e9, top = 1e9, bottom = -1e9;
  int forward = 0, back = 0, jumpsBack = 0;
  double last = bird.X();
  for (uint32_t t = 0; t < 40000; t += anim::kStepIntervalMs) {
    clock.Advance(anim::kStepIntervalMs);
    objects.StepAll();
    ASSERT_TRUE(bird.Shown());
    const double x = bird.X();
    if (x - last < -640)
      ++jumpsBack;  // out on the right, in again on the left
    else if (x > last)
      ++forward;
    else if (x < last)
      ++back;
    last = x;
    lowest = std::min(lowest, x);
    highest = std::max(highest, x);
    top = std::min(top, bird.Y());
    bottom = std::max(bottom, bird.Y());
  }
  EXPECT_LT(lowest, 0.0);  // wholly or half out of the picture at the left
  EXPECT_GT(highest, 1280.0);
  EXPECT_GE(jumpsBack, 1);
  EXPECT_EQ(back, 0);
  EXPECT_GT(forward, 1000);
  EXPECT_GT(top, 0.0);
  EXPECT_LT(bottom, 475.0 - 16);  // above the lake's shore
}

// The About window names the saver (a marker in a panel's caption is not filled in, by
// design, so the name is a label on the panel), and no window shows a marker. Catches the
// literal "<ScreensaverName>".
TEST_F(DemoSaver, WindowsShowTheSaversNamesNotTheirMarkers) {
  for (const char* name : {"MainWindow", "About"}) {
    SCOPED_TRACE(name);
    OpenWindow open(*settings_, name);
    ASSERT_TRUE(open.window);
    for (const std::string& text : TextsOf(*open.window)) {
      EXPECT_EQ(text.find("<ScreensaverName>"), std::string::npos) << text;
      EXPECT_EQ(text.find("<CompanyName>"), std::string::npos) << text;
      EXPECT_EQ(text.find("<Website>"), std::string::npos) << text;
    }
  }
  OpenWindow about(*settings_, "About");
  ASSERT_TRUE(about.window);
  const std::vector<std::string> texts = TextsOf(*about.window);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Demo Saver"), texts.end());
}

// The preview, which invites a click with its hint and hand cursor, runs "Preview selected
// file" on the current picture: the first, then the next after "Next >". Catches a preview
// bound to nothing.
TEST_F(DemoSaver, ThePreviewRunsTheCurrentPicture) {
  OpenWindow main(*settings_, "MainWindow");
  ASSERT_TRUE(main.window);
  const BuiltControl* preview = main.window->FindControl("Preview");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->widget->cursor().shape(), Qt::PointingHandCursor);
  main.behaviour->ExecuteAction("Preview");
  main.behaviour->ExecuteAction("btnNext");
  main.behaviour->ExecuteAction("Preview");
  EXPECT_EQ(main.previews, (std::vector<std::string>{Pictures()[0], Pictures()[1]}));
}

// Every text of the demo's windows and of the Settings dialog it opens shows whole in the
// fonts this machine has, under both styles Qt always has (run once more at 200 %). Catches
// a designed text made for a narrower font than the desktop's, and an open list narrower
// than its longest entry.
TEST_F(DemoSaver, EveryTextOfItsWindowsShowsWhole) {
  const QString before = QApplication::style()->name();
  for (const char* style : {"Fusion", "Windows"}) {
    SCOPED_TRACE(style);
    QApplication::setStyle(QStyleFactory::create(style));
    for (const char* name : {"MainWindow", "About"}) {
      SCOPED_TRACE(name);
      OpenWindow open(*settings_, name);
      ASSERT_TRUE(open.window);
      const test::TextFitReport report = test::CheckTextsFit(*open.window);
      EXPECT_TRUE(report.misfits.empty()) << report.Describe();
      EXPECT_GE(report.measured.size(), std::string(name) == "About" ? 3u : 10u);
    }
    SettingsDialog dialog(settings_->Setting, SettingsAccess{false, {}});
    const test::TextFitReport report = test::CheckTextsFit(dialog);
    EXPECT_TRUE(report.misfits.empty()) << report.Describe();
    EXPECT_TRUE(report.Measured("User's favorite (checked images) - Random"));
  }
  QApplication::setStyle(QStyleFactory::create(before));
}

}  // namespace
}  // namespace vec
