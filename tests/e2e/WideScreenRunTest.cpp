// The real vecsaver on a 16:9 virtual display: a DirectDraw show appears as a 4:3 display
// mode does on a wide screen (centred, black bars left and right), the mouse still ends it
// anywhere on the screen, and a run in a session without a runtime folder says nothing
// about it and leaves nothing in the temporary folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/VirtualScreen.h"

// clang-format off
// Last: Xlib defines macros with common names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#ifdef VEC_HAVE_XTEST
#include <X11/extensions/XTest.h>
#endif

namespace vec {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::WaitFor;
using Process = testing::ChildProcess;

// 640 x 360: its 4:3 area is 480 x 360 at x = 80.
constexpr int kScreenW = 640, kScreenH = 360;
constexpr uint32_t kBlack = 0x000000, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                   kYellow = 0xFFFF00;

class WideScreenRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen_ = std::make_unique<testing::VirtualScreen>(kScreenW, kScreenH);
    if (screen_->Ready()) display_ = screen_->display();
  }
  static void TearDownTestSuite() {
    display_ = nullptr;
    screen_.reset();
  }

  void SetUp() override {
    if (!display_) GTEST_SKIP() << "Xvfb is not available";
    std::string pattern = (fs::temp_directory_path() / "vec-wide-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    runTemp_ = dir_ + "/tmp";
    fs::create_directories(runTemp_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // A saver of one 64 x 48 picture with a colour in each quarter: red, green / blue, yellow.
  std::string MakeSaver(const std::string& defaults) {
    const std::string files = dir_ + "/files";
    fs::create_directories(files);
    BlendBitmap bmp(64, 48);
    bmp.FillRect(0, 0, 32, 24, MakePixel(255, 0, 0));
    bmp.FillRect(32, 0, 64, 24, MakePixel(0, 255, 0));
    bmp.FillRect(0, 24, 32, 48, MakePixel(0, 0, 255));
    bmp.FillRect(32, 24, 64, 48, MakePixel(255, 255, 0));
    EXPECT_TRUE(SaveBmp32(bmp, files + "/Quarters.bmp").ok());
    std::ofstream(dir_ + "/list.ini") << "[FileList]\nQuarters.bmp=1\n";
    std::ofstream(dir_ + "/settings.ini")
        << "[General]\nProductName=Test\n[Default]\nSound=0\nMusic=0\nDuration=60\n"
        << defaults << "\n";
    const std::string out = dir_ + "/Wide.scr";
    const std::string cmd = std::string(VECTOOL_PATH) + " pack --files " + files + " --settings " +
                            dir_ + "/settings.ini --filelist " + dir_ + "/list.ini --out " + out +
                            " --saver-from " + VECSAVER_PATH + " >/dev/null 2>&1";
    EXPECT_EQ(system(cmd.c_str()), 0);
    chmod(out.c_str(), 0755);
    return out;
  }

  // `runtime`: the session's runtime folder; empty for a session without one.
  std::unique_ptr<Process> Start(const std::string& saver, const std::string& runtime) {
    const std::vector<std::string> env = {
        "DISPLAY=" + screen_->Name(), "TMPDIR=" + runTemp_,
        "SDL_AUDIODRIVER=dummy",      "XDG_CONFIG_HOME=" + dir_ + "/config",
        "XDG_RUNTIME_DIR=" + runtime, "QT_QPA_PLATFORM=xcb"};
    return std::make_unique<Process>(std::vector<std::string>{saver, "/s"}, env,
                                     dir_ + "/stderr.txt");
  }
  std::string StderrText() const {
    std::ifstream f(dir_ + "/stderr.txt");
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::vector<std::string> RunTempEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(runTemp_))
      names.push_back(e.path().filename().string());
    return names;
  }

  static uint32_t PixelAt(int x, int y) { return screen_->PixelAt(x, y); }
  static void MovePointer(int x, int y) { screen_->MovePointer(x, y); }

  static inline std::unique_ptr<testing::VirtualScreen> screen_;
  static inline Display* display_ = nullptr;
  std::string dir_, runTemp_;
};

// 640 x 480 surface on a 640 x 360 screen: 480 x 360 at x = 80, bars 80 wide. Catches the
// surface stretched over the whole screen (the red quarter would reach x = 0), bars on the
// wrong axis, and an area a pixel off at either edge.
TEST_F(WideScreenRun, DirectDrawShowIsCentredIn4To3WithBlackBars) {
  const std::string saver = MakeSaver("DirectX=1\nDirectXQuality=2");
  auto p = Start(saver, dir_);
  ASSERT_TRUE(WaitFor([] { return PixelAt(200, 90) == kRed; }, 10s)) << StderrText();
  struct Probe {
    int x, y;
    uint32_t want;
    const char* where;
  } probes[] = {
      {0, 180, kBlack, "left bar"},      {79, 0, kBlack, "left bar's edge"},
      {80, 0, kRed, "area's left edge"}, {559, 359, kYellow, "area's right edge"},
      {560, 359, kBlack, "right bar"},   {639, 180, kBlack, "right bar's edge"},
      {200, 90, kRed, "top left"},       {440, 90, kGreen, "top right"},
      {200, 270, kBlue, "bottom left"},  {440, 270, kYellow, "bottom right"},
  };
  for (const Probe& probe : probes)
    EXPECT_EQ(PixelAt(probe.x, probe.y), probe.want)
        << probe.where << " at " << probe.x << "," << probe.y;
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
}

#ifdef VEC_HAVE_XTEST
// The bars are the show's window too: moves over them count like any other, two pixels at a
// time do not end the show and three do. Catches a window sized to the 4:3 area only, and
// mouse positions taken relative to the area.
TEST_F(WideScreenRun, MouseOverTheBarsEndsTheShowAtThreePixels) {
  const std::string saver = MakeSaver("DirectX=1\nDirectXQuality=2");
  MovePointer(20, 100);
  auto p = Start(saver, dir_);
  ASSERT_TRUE(WaitFor([] { return PixelAt(200, 90) == kRed; }, 10s)) << StderrText();
  std::this_thread::sleep_for(300ms);
  for (int i = 1; i <= 12; ++i) {
    MovePointer(20, 100 + 2 * i);
    std::this_thread::sleep_for(120ms);
  }
  EXPECT_FALSE(p->WaitExit(800ms).has_value()) << "2-pixel moves over the bar ended the show";
  for (int i = 1; i <= 7 && p->Running(); ++i) {
    MovePointer(620, 100 + 3 * i);
    std::this_thread::sleep_for(60ms);
  }
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
}
#endif

// A session without a runtime folder (a root shell, a chroot): the toolkit's complaint about
// it is not printed, and when the run is over its temporary folder is empty (no runtime
// folder of the toolkit's own left behind, nor one of the run's).
TEST_F(WideScreenRun, ASessionWithoutARuntimeFolderGetsNoWarningAndNoLeftovers) {
  const std::string saver = MakeSaver("DirectX=0\nStretch=1");
  auto p = Start(saver, "");
  ASSERT_TRUE(WaitFor([] { return PixelAt(kScreenW / 2 - 40, kScreenH / 4) == kRed; }, 10s))
      << StderrText();
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  const std::string said = StderrText();
  EXPECT_EQ(said.find("XDG_RUNTIME_DIR"), std::string::npos) << said;
  EXPECT_EQ(RunTempEntries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vec
