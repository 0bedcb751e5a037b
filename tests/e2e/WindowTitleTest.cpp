// The titles the real program gives its windows on an X display: a designed window and the
// Settings dialog carry exactly their captions, and the saver's product name shows only
// where the application's own title belongs (the caption of a message box).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LabelRowWindow.h"
#include "tests/support/VirtualScreen.h"

// clang-format off
// Last: Xlib defines macros with common names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
// clang-format on
#ifdef VEC_HAVE_XTEST
#include <X11/extensions/XTest.h>
#endif

namespace vec {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::WaitFor;

// A main window as large as the screen whose caption names the saver, with three labels in
// a row, 100 x 40 each: "Open setting", "Set as a Wallpaper" and "Close window".
std::string TitleWindowDefinitions() {
  return testing::LabelRowWindow({{"SettingsLabel", 5}, {"WallLabel", 9}, {"CloseLabel", 6}},
                                 "<ScreensaverName> choices");
}

class WindowTitles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen_ = std::make_unique<testing::VirtualScreen>(640, 480);
    if (screen_->Ready()) display_ = screen_->display();
  }
  static void TearDownTestSuite() {
    display_ = nullptr;
    screen_.reset();
  }

  void SetUp() override {
    if (!display_) GTEST_SKIP() << "Xvfb is not available";
    char tmpl[] = "/tmp/vec-titles-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::create_directories(dir_ + "/tmp");
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // A .scr saver of one picture with the window above; its product name is "Test Saver".
  std::string MakeSaver() {
    const std::string files = dir_ + "/files";
    fs::create_directories(files);
    BlendBitmap picture(320, 240);
    picture.Clear(MakePixel(0, 0, 255));
    EXPECT_TRUE(SaveBmp32(picture, files + "/Pic.bmp").ok());
    std::ofstream(dir_ + "/list.ini") << "[FileList]\nPic.bmp=1\n";
    std::ofstream(dir_ + "/settings.ini")
        << "[General]\nProductName=Test Saver\n[Default]\nSound=0\nMusic=0\n";
    std::ofstream(dir_ + "/VEGUI.veu", std::ios::binary) << TitleWindowDefinitions();
    const std::string out = dir_ + "/Titles.scr";
    const std::string cmd = std::string(VECTOOL_PATH) + " pack --files " + files + " --settings " +
                            dir_ + "/settings.ini --filelist " + dir_ + "/list.ini --ui " + dir_ +
                            "/VEGUI.veu --out " + out + " --saver-from " + VECSAVER_PATH +
                            " >/dev/null 2>&1";
    EXPECT_EQ(system(cmd.c_str()), 0);
    chmod(out.c_str(), 0755);
    return out;
  }

  std::unique_ptr<testing::ChildProcess> Start(const std::string& saver) {
    const std::vector<std::string> env = {
        "DISPLAY=" + screen_->Name(),          "TMPDIR=" + dir_ + "/tmp", "SDL_AUDIODRIVER=dummy",
        "XDG_CONFIG_HOME=" + dir_ + "/config", "XDG_RUNTIME_DIR=" + dir_, "QT_QPA_PLATFORM=xcb"};
    return std::make_unique<testing::ChildProcess>(std::vector<std::string>{saver, "/c"}, env,
                                                   dir_ + "/stderr.txt");
  }

  // The titles (_NET_WM_NAME, as the window manager shows them) of the mapped top-level
  // windows.
  static std::multiset<std::string> Titles() {
    // A window may go between the listing and the reading; that is no failure.
    const XErrorHandler before = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::multiset<std::string> titles = ReadTitles();
    XSync(display_, False);
    XSetErrorHandler(before);
    return titles;
  }
  static std::multiset<std::string> ReadTitles() {
    std::multiset<std::string> titles;
    const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
      return titles;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes a{};
      if (!XGetWindowAttributes(display_, children[i], &a) || a.map_state != IsViewable) continue;
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display_, children[i], netName, 0, 1024, False, utf8, &type, &format,
                             &items, &after, &data) == Success &&
          data) {
        titles.insert(std::string(reinterpret_cast<char*>(data), items));
        XFree(data);
      }
    }
    if (children) XFree(children);
    return titles;
  }
  static std::string Listed(const std::multiset<std::string>& titles) {
    std::string out;
    for (const auto& t : titles) out += "\"" + t + "\" ";
    return out;
  }
  // Waits until a window titled exactly `title` is mapped.
  static bool WindowShown(const std::string& title) {
    return WaitFor([&] { return Titles().count(title) > 0; }, 10s);
  }

  static void Click(int x, int y) { screen_->Click(x, y); }
  static void PressEscape() { screen_->PressKey(XK_Escape); }

  std::string StderrText() const {
    std::ifstream f(dir_ + "/stderr.txt");
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

  static inline std::unique_ptr<testing::VirtualScreen> screen_;
  static inline Display* display_ = nullptr;
  std::string dir_;
};

// Catches the product name appended to every window title (" - Test Saver", the toolkit's
// rule for its application display name), and the application title lost from the message
// box caption where it belongs.
TEST_F(WindowTitles, WindowsCarryTheirCaptionsAndTheBoxTheProductName) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  auto p = Start(MakeSaver());
  ASSERT_TRUE(WindowShown("Test Saver choices")) << Listed(Titles()) << "\n" << StderrText();

  Click(50, 20);  // "Open setting"
  ASSERT_TRUE(WindowShown("Settings")) << Listed(Titles());
  PressEscape();
  ASSERT_TRUE(WaitFor([] { return Titles().count("Settings") == 0; }, 10s)) << Listed(Titles());

  std::this_thread::sleep_for(700ms);  // not a double click
  Click(150, 20);                      // "Set as a Wallpaper" asks first
  ASSERT_TRUE(WindowShown("Test Saver")) << Listed(Titles());
  PressEscape();  // No
  ASSERT_TRUE(WaitFor([] { return Titles().count("Test Saver") == 0; }, 10s)) << Listed(Titles());

  std::this_thread::sleep_for(700ms);
  EXPECT_TRUE(WaitFor(
      [&] {
        Click(250, 20);  // "Close window"
        return !p->Running();
      },
      10s));
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0)) << StderrText();
  EXPECT_FALSE(fs::exists(dir_ + "/Titles.scr.bmp"));
}

}  // namespace
}  // namespace vec
