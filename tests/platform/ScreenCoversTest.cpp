// Black windows on the monitors the show does not use, on Qt's offscreen platform with three
// monitors side by side (the middle one at scale 2).

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QWindow>
#include <memory>
#include <vector>

#include "platform/ScreenCovers.h"
#include "tests/platform/ThreeMonitorApp.h"

namespace vec {
namespace {

using test::ThreeMonitorApp;

class ScreenCoversTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ThreeMonitorApp();
    screens_ = QGuiApplication::screens();
    ASSERT_EQ(screens_.size(), 3) << "the offscreen platform did not read the monitors";
  }
  QList<QScreen*> screens_;
};

// Catches the show's monitor being covered, or a monitor left showing the desktop.
TEST_F(ScreenCoversTest, EveryMonitorButTheShowsGetsABlackFullScreenWindow) {
  ScreenCovers covers(screens_[0], MakeBlackWindow);
  EXPECT_EQ(covers.CoveredScreens(), (std::vector<QScreen*>{screens_[1], screens_[2]}));
  for (QScreen* screen : {screens_[1], screens_[2]}) {
    QWidget* cover = covers.CoverOf(screen);
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(cover->isVisible());
    EXPECT_TRUE(cover->isFullScreen());
    EXPECT_EQ(cover->windowHandle()->screen(), screen);
    EXPECT_EQ(cover->geometry(), screen->geometry());
  }
  EXPECT_EQ(covers.CoverOf(screens_[1])->geometry(), QRect(800, 0, 640, 480));
}

// Catches a second window on a monitor covered already, and an unplugged monitor's window
// kept alive.
TEST_F(ScreenCoversTest, MonitorsPluggedInAndOutAreFollowed) {
  ScreenCovers covers(screens_[0], MakeBlackWindow);
  covers.Cover(screens_[2]);
  EXPECT_EQ(covers.CoveredScreens().size(), 2u);
  emit qGuiApp->screenRemoved(screens_[2]);
  EXPECT_EQ(covers.CoveredScreens(), (std::vector<QScreen*>{screens_[1]}));
  emit qGuiApp->screenAdded(screens_[2]);
  EXPECT_EQ(covers.CoveredScreens(), (std::vector<QScreen*>{screens_[1], screens_[2]}));
  emit qGuiApp->screenAdded(screens_[0]);
  EXPECT_EQ(covers.CoverOf(screens_[0]), nullptr) << "the show's monitor stays uncovered";
}

// Catches the show being left on a monitor that is gone, or its new monitor left black.
TEST_F(ScreenCoversTest, WhenTheShowsMonitorGoesThePrimaryTakesItsPlace) {
  std::vector<QScreen*> moves;
  ScreenCovers covers(screens_[1], MakeBlackWindow, [&](QScreen* s) { moves.push_back(s); });
  ASSERT_EQ(covers.CoveredScreens(), (std::vector<QScreen*>{screens_[0], screens_[2]}));
  covers.ScreenGone(screens_[1]);
  EXPECT_EQ(moves, (std::vector<QScreen*>{QGuiApplication::primaryScreen()}));
  EXPECT_EQ(covers.ShowScreen(), screens_[0]);
  EXPECT_EQ(covers.CoveredScreens(), (std::vector<QScreen*>{screens_[2]}));
}

// The offscreen monitors report their scale as a real one would.
TEST_F(ScreenCoversTest, TheScaledMonitorReportsItsRatio) {
  EXPECT_EQ(screens_[1]->devicePixelRatio(), 2.0);
  EXPECT_EQ(screens_[0]->devicePixelRatio(), 1.0);
}

}  // namespace
}  // namespace vec
