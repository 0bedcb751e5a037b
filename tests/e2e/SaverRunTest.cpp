// The real vecsaver on a virtual display: the show starts and animates, changes pictures,
// ends on the input that should end it (and only that), cleans up its files, draws the
// preview into a foreign window, runs inside a daemon's window, and reports an empty list.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "graphics/Jpeg.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LabelRowWindow.h"
#include "tests/support/SineWav.h"
#include "tests/support/VirtualScreen.h"

// clang-format off
// Last: Xlib defines macros with common names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#ifdef VEC_HAVE_XTEST
#include <X11/extensions/XTest.h>
#endif

namespace vec {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kScreenW = 640, kScreenH = 480;

using testing::WaitFor;
using Process = testing::ChildProcess;

class SaverRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen_ = std::make_unique<testing::VirtualScreen>(kScreenW, kScreenH);
    if (screen_->Ready()) {
      display_ = screen_->display();
      displayName_ = screen_->Name();
    }
  }

  static void TearDownTestSuite() {
    display_ = nullptr;
    screen_.reset();
  }

  void SetUp() override {
    if (!display_) GTEST_SKIP() << "Xvfb is not available";
    std::string tmpl = fs::temp_directory_path() / "vec-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    runTemp_ = dir_ + "/tmp";
    fs::create_directories(runTemp_);
  }

  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  std::vector<std::string> Env(std::vector<std::string> extra = {}) const {
    std::vector<std::string> env = {"DISPLAY=" + displayName_, "TMPDIR=" + runTemp_,
                                    "SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + dir_ + "/config",
                                    "XDG_RUNTIME_DIR=" + dir_};
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
  }

  // A saver of plain pictures: one BMP of a single colour for each entry.
  std::string MakeSaver(const std::string& name, const std::vector<Pixel>& colors,
                        const std::string& defaults, bool withPreview = false,
                        const std::string& uiText = "") {
    const std::string files = dir_ + "/" + name + "-files";
    fs::create_directories(files);
    std::string list = "[FileList]\n";
    for (size_t i = 0; i < colors.size(); ++i) {
      BlendBitmap bmp(320, 240);
      bmp.Clear(colors[i]);
      const std::string file = "Pic" + std::to_string(i) + ".bmp";
      EXPECT_TRUE(SaveBmp32(bmp, files + "/" + file).ok());
      list += file + "=1\n";
    }
    std::string advance = "[Advance]\n";
    if (withPreview) {
      // Left half red, right half blue: a squeeze keeps the split in the middle.
      BlendBitmap preview(640, 480);
      preview.FillRect(0, 0, 320, 480, MakePixel(255, 0, 0));
      preview.FillRect(320, 0, 640, 480, MakePixel(0, 0, 255));
      auto jpeg = EncodeJpeg(preview, 95);
      std::ofstream(files + "/Preview.jpg", std::ios::binary)
          .write(reinterpret_cast<const char*>(jpeg->data()),
                 static_cast<std::streamsize>(jpeg->size()));
      advance += "PreviewFile=Preview.jpg\n";
    }
    std::ofstream(dir_ + "/" + name + "-list.ini") << list;
    std::ofstream(dir_ + "/" + name + "-settings.ini")
        << "[General]\nProductName=Test\n[Default]\nSound=0\nMusic=0\n"
        << defaults << "\n"
        << advance;
    const std::string out = dir_ + "/" + name + ".scr";
    std::string cmd = std::string(VECTOOL_PATH) + " pack --files " + files + " --settings " + dir_ +
                      "/" + name + "-settings.ini --filelist " + dir_ + "/" + name +
                      "-list.ini --out " + out + " --saver-from " + VECSAVER_PATH;
    if (!uiText.empty()) {
      std::ofstream(dir_ + "/" + name + "-VEGUI.veu", std::ios::binary) << uiText;
      cmd += " --ui " + dir_ + "/" + name + "-VEGUI.veu";
    }
    cmd += " >/dev/null 2>&1";
    EXPECT_EQ(system(cmd.c_str()), 0);
    chmod(out.c_str(), 0755);
    return out;
  }

  std::unique_ptr<Process> Start(const std::string& saver, std::vector<std::string> args,
                                 std::vector<std::string> env = {}) {
    std::vector<std::string> argv = {saver};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<Process>(argv, Env(std::move(env)), StderrPath());
  }

  std::string StderrPath() const { return dir_ + "/stderr.txt"; }
  std::string StderrText() const {
    std::ifstream f(StderrPath());
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

  static uint32_t PixelAt(int x, int y, Window w = 0) { return screen_->PixelAt(x, y, w); }

  // A checksum of a whole window.
  static uint64_t Grab(Window w = 0) {
    if (!w) w = DefaultRootWindow(display_);
    XWindowAttributes a{};
    XGetWindowAttributes(display_, w, &a);
    XImage* img = XGetImage(display_, w, 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!img) return 0;
    uint64_t sum = 1469598103934665603ull;
    for (int y = 0; y < a.height; y += 2)
      for (int x = 0; x < a.width; x += 2) sum = (sum ^ XGetPixel(img, x, y)) * 1099511628211ull;
    XDestroyImage(img);
    return sum;
  }

  static void MovePointer(int x, int y) { screen_->MovePointer(x, y); }
  static void Click(int x, int y) { screen_->Click(x, y); }
  static void PressKey(KeySym sym) { screen_->PressKey(sym); }

  bool RunTempEmpty() const { return fs::is_empty(runTemp_); }

  static bool ShowVisible(uint32_t color) {
    return WaitFor([&] { return PixelAt(kScreenW / 2, kScreenH / 2) == color; }, 10s);
  }

  static inline std::unique_ptr<testing::VirtualScreen> screen_;
  static inline Display* display_ = nullptr;
  static inline std::string displayName_;
  std::string dir_, runTemp_;
};

constexpr Pixel kRed = MakePixel(255, 0, 0), kBlue = MakePixel(0, 0, 255);

TEST_F(SaverRun, DurationOneChangesThePictureAndTermEndsCleanly) {
  const std::string saver =
      MakeSaver("two", {kRed, kBlue}, "Duration=1\nTransition=0\nShowImageMode=1\nStretch=1");
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  EXPECT_FALSE(RunTempEmpty());  // the package is extracted while the show runs
  EXPECT_TRUE(WaitFor([] { return PixelAt(kScreenW / 2, kScreenH / 2) == 0x0000FF; }, 4s));
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

TEST_F(SaverRun, EverySignalThatEndsTheShowRemovesItsFiles) {
  const std::string saver = MakeSaver("signals", {kRed}, "Duration=60");
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
    auto p = Start(saver, {"/s"});
    ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
    EXPECT_FALSE(RunTempEmpty());
    p->Signal(sig);
    EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0)) << strsignal(sig);
    EXPECT_TRUE(RunTempEmpty()) << strsignal(sig);
    // The next run starts from a screen without the saver's window.
    WaitFor([] { return PixelAt(kScreenW / 2, kScreenH / 2) != 0xFF0000; }, 5s);
  }
}

TEST_F(SaverRun, TermInTheMiddleOfALongTransitionEndsIt) {
  // The change after one second starts a transition of a minute; the terminate stops it.
  const std::string saver = MakeSaver(
      "long", {kRed, kBlue}, "Duration=1\nTransition=1\nTransitionTime=60000\nShowImageMode=1");
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::this_thread::sleep_for(2500ms);
  ASSERT_FALSE(p->WaitExit(0ms).has_value());
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

TEST_F(SaverRun, WithoutADisplayItSaysSoInOneLineAndEnds) {
  const std::string saver = MakeSaver("nodisplay", {kRed}, "Duration=60");
  // A display number no server listens on (another test program's Xvfb may hold any).
  int unused = 97;
  while (fs::exists("/tmp/.X11-unix/X" + std::to_string(unused))) ++unused;
  struct Case {
    std::vector<std::string> args;
    std::string display;
  };
  const Case cases[] = {{{"/s"}, "DISPLAY="},
                        {{"/c"}, "DISPLAY="},
                        {{"/p", "12345"}, "DISPLAY="},
                        {{"/s"}, "DISPLAY=:" + std::to_string(unused)}};
  for (const auto& c : cases) {
    auto p = Start(saver, c.args, {c.display, "QT_QPA_PLATFORM="});
    EXPECT_EQ(p->WaitExit(10s), std::optional<int>(1)) << c.args[0] << " " << c.display;
    const std::string said = StderrText();
    EXPECT_EQ(said.rfind("vecsaver: no display: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(RunTempEmpty());
  }
}

// Process ids of the running session-bus programs (dbus-daemon, dbus-launch).
std::set<pid_t> BusProcesses() {
  std::set<pid_t> pids;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream comm(entry.path() / "comm");
    std::string command;
    std::getline(comm, command);
    if (command == "dbus-daemon" || command == "dbus-launch") pids.insert(std::stoi(name));
  }
  return pids;
}

TEST_F(SaverRun, StartsNoSessionBusOfItsOwn) {
  // Without a session bus, the toolkit's D-Bus support would have one launched for it, and
  // that bus would outlive the saver.
  if (access("/usr/bin/dbus-launch", X_OK) != 0) GTEST_SKIP() << "dbus-launch is not installed";
  const std::string saver = MakeSaver("nobus", {kRed}, "Duration=60");
  const std::set<pid_t> before = BusProcesses();
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  std::this_thread::sleep_for(300ms);
  std::vector<pid_t> started;
  for (pid_t pid : BusProcesses())
    if (!before.count(pid)) started.push_back(pid);
  for (pid_t pid : started) kill(pid, SIGTERM);  // what this run left behind
  EXPECT_TRUE(started.empty()) << started.size() << " bus processes were left running";
}

TEST_F(SaverRun, AnimatedPictureChangesItsPixels) {
  // A picture file with water would need the picture tools; the transition between two
  // plain pictures animates the screen just as well for this purpose.
  const std::string saver = MakeSaver(
      "anim", {kRed, kBlue}, "Duration=1\nTransition=1\nTransitionTime=1500\nShowImageMode=1");
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::set<uint64_t> seen;
  WaitFor(
      [&] {
        seen.insert(Grab());
        return seen.size() >= 3;
      },
      6s);
  EXPECT_GE(seen.size(), 3u);
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
}

#ifdef VEC_HAVE_XTEST
TEST_F(SaverRun, MouseMovesOfThreePixelsEndItAndTwoDoNot) {
  const std::string saver = MakeSaver("mouse", {kRed}, "Duration=60");
  MovePointer(100, 100);
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::this_thread::sleep_for(300ms);
  // A slow drift: never more than 2 pixels per event. The events are spaced wider than a
  // frame, since moves that arrive within one tick are merged into one, as on any desktop.
  for (int i = 1; i <= 12; ++i) {
    MovePointer(100 + 2 * i, 100);
    std::this_thread::sleep_for(120ms);
  }
  EXPECT_FALSE(p->WaitExit(800ms).has_value()) << "2-pixel moves ended the saver";
  for (int i = 1; i <= 7 && p->Running(); ++i) {
    MovePointer(200 + 3 * i, 200);
    std::this_thread::sleep_for(60ms);
  }
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

TEST_F(SaverRun, SixMovesAreNotEnough) {
  const std::string saver = MakeSaver("six", {kRed}, "Duration=60");
  MovePointer(50, 50);
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::this_thread::sleep_for(300ms);
  for (int i = 1; i <= 6; ++i) {
    MovePointer(50 + 10 * i, 50);
    std::this_thread::sleep_for(60ms);
  }
  EXPECT_FALSE(p->WaitExit(800ms).has_value());
  MovePointer(300, 300);  // the seventh
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
}

TEST_F(SaverRun, KeyWithCharacterEndsItF1DoesNot) {
  const std::string saver = MakeSaver("keys", {kRed}, "Duration=60");
  auto p = Start(saver, {"/s"});
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::this_thread::sleep_for(300ms);
  PressKey(XK_F1);
  PressKey(XK_Shift_L);
  PressKey(XK_Delete);
  EXPECT_FALSE(p->WaitExit(800ms).has_value()) << "F1, Shift or Delete ended the saver";
  PressKey(XK_a);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}
#endif

Window MakeWindow(Display* d, int w, int h) {
  const Window win = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(w),
                                         static_cast<unsigned>(h), 0, 0, 0x00FF00);
  XMapWindow(d, win);
  XSync(d, False);
  return win;
}

TEST_F(SaverRun, PreviewFillsTheWindowWithTheSqueezedPicture) {
  const std::string saver = MakeSaver("prev", {kRed}, "", /*withPreview=*/true);
  const Window win = MakeWindow(display_, 152, 112);
  auto p = Start(saver, {"/p", std::to_string(win)});
  EXPECT_EQ(p->WaitExit(10s), std::optional<int>(0)) << StderrText();
  auto near = [](uint32_t a, uint32_t b) {
    for (int s = 0; s < 24; s += 8)
      if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 40) return false;
    return true;
  };
  EXPECT_TRUE(near(PixelAt(10, 56, win), 0xFF0000)) << std::hex << PixelAt(10, 56, win);
  EXPECT_TRUE(near(PixelAt(70, 10, win), 0xFF0000));
  EXPECT_TRUE(near(PixelAt(82, 100, win), 0x0000FF));
  EXPECT_TRUE(near(PixelAt(150, 110, win), 0x0000FF));
  XDestroyWindow(display_, win);

  // A window id that is not a number ends quietly.
  auto bad = Start(saver, {"/p", "12ab"});
  EXPECT_EQ(bad->WaitExit(10s), std::optional<int>(0));
}

TEST_F(SaverRun, DaemonWindowIsFilledFollowedAndLeftOnTerm) {
  const std::string saver = MakeSaver("daemon", {kRed}, "Duration=60\nStretch=1\nProportional=0");
  const Window win = MakeWindow(display_, 200, 150);
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", win);
  auto p = Start(saver, {"-window-id", id});
  EXPECT_TRUE(WaitFor([&] { return PixelAt(100, 75, win) == 0xFF0000; }, 10s)) << StderrText();
  XResizeWindow(display_, win, 300, 220);
  XSync(display_, False);
  EXPECT_TRUE(WaitFor([&] { return PixelAt(290, 210, win) == 0xFF0000; }, 5s));
  // A stopped and continued daemon saver goes on drawing.
  p->Signal(SIGSTOP);
  std::this_thread::sleep_for(300ms);
  p->Signal(SIGCONT);
  EXPECT_FALSE(p->WaitExit(500ms).has_value());
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(3s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
  XDestroyWindow(display_, win);
  XSync(display_, False);
}

TEST_F(SaverRun, DaemonSaverEndsWhenItsWindowGoesAway) {
  const std::string saver = MakeSaver("gone", {kRed}, "Duration=60");
  const Window win = MakeWindow(display_, 120, 90);
  auto p = Start(saver, {"/s"}, {"XSCREENSAVER_WINDOW=" + std::to_string(win)});
  EXPECT_TRUE(WaitFor([&] { return PixelAt(60, 45, win) == 0xFF0000; }, 10s)) << StderrText();
  XDestroyWindow(display_, win);
  XSync(display_, False);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

TEST_F(SaverRun, EmptyPlayListReportsAndWaits) {
  const std::string saver = MakeSaver("empty", {kRed, kBlue}, "Duration=1");
  std::ofstream(dir_ + "/empty.ini") << "[Setting]\nImageMode=2\n[Files]\n0=\n1=\n";
  auto p = Start(saver, {"/s"}, {"QT_QPA_PLATFORM=offscreen"});
  EXPECT_TRUE(WaitFor(
      [&] { return StderrText().find("Unable to run screensaver.") != std::string::npos; }, 10s))
      << StderrText();
  EXPECT_FALSE(p->WaitExit(500ms).has_value());  // the form stays until it is closed
  p->Signal(SIGTERM);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

// A tone in a WAV file of the saver: its name, pitch and length.
struct Tone {
  std::string file;
  double hz;
  double seconds;
};

// What the mixer wrote while a saver ran, cut into tenths of a second: for each pitch asked
// about, whether it sounds in each tenth.
struct Heard {
  std::map<double, std::vector<bool>> tenths;
  bool exitedCleanly = false;

  int Count(double hz) const {
    const auto& t = tenths.at(hz);
    return static_cast<int>(std::count(t.begin(), t.end(), true));
  }
  // The first tenth the pitch sounds in, -1 if never.
  int First(double hz) const {
    const auto& t = tenths.at(hz);
    const auto at = std::find(t.begin(), t.end(), true);
    return at == t.end() ? -1 : static_cast<int>(at - t.begin());
  }
  // The last tenth the pitch sounds in, -1 if never.
  int Last(double hz) const {
    const auto& t = tenths.at(hz);
    const auto at = std::find(t.rbegin(), t.rend(), true);
    return at == t.rend() ? -1 : static_cast<int>(t.rend() - at) - 1;
  }
};

constexpr double kSoundHz = 440, kMusicHz = 1000;

class SaverSound : public SaverRun {
 protected:
  struct Show {
    std::string defaults;        // the saver's [Default] keys
    std::string advance;         // its [Advance] keys
    std::vector<Tone> pictures;  // one red picture file each, its first slot looping the tone
    std::vector<Tone> music;     // further sound files of the package
    std::string userIni;         // the user settings file beside the saver (none when empty)
    std::chrono::milliseconds length{1500};
  };

  // Packs the saver, runs it with SDL's disk driver writing what would be heard, ends it
  // after `length` from the moment the show is on screen, and listens for `pitches`.
  Heard RunAndListen(const std::string& name, const Show& show, std::vector<double> pitches) {
    const std::string files = dir_ + "/" + name + "-files";
    fs::create_directories(files);
    BlendBitmap red(64, 48);
    red.Clear(MakePixel(255, 0, 0));
    EXPECT_TRUE(SaveBmp32(red, dir_ + "/red.bmp").ok());
    for (size_t i = 0; i < show.pictures.size(); ++i) {
      const Tone& t = show.pictures[i];
      testing::WriteSineWav(files + "/" + t.file, t.hz, t.seconds, 12000);
      std::ofstream(dir_ + "/pic.ini") << "[Sound1]\r\nFileName=" << t.file << "\r\nPlayMode=0\r\n";
      const std::string vep = std::string(VECTOOL_PATH) + " vep --picture " + dir_ +
                              "/red.bmp --settings " + dir_ + "/pic.ini -o " + files + "/Pic" +
                              std::to_string(i) + ".vep >/dev/null 2>&1";
      EXPECT_EQ(system(vep.c_str()), 0);
    }
    for (const Tone& t : show.music)
      testing::WriteSineWav(files + "/" + t.file, t.hz, t.seconds, 12000);
    std::ofstream(dir_ + "/" + name + "-settings.ini") << "[General]\nProductName=Test\n[Default]\n"
                                                       << show.defaults << "\n[Advance]\n"
                                                       << show.advance << "\n";
    const std::string saver = dir_ + "/" + name + ".scr";
    const std::string pack = std::string(VECTOOL_PATH) + " pack --files " + files + " --settings " +
                             dir_ + "/" + name + "-settings.ini --out " + saver + " --saver-from " +
                             VECSAVER_PATH + " >/dev/null 2>&1";
    EXPECT_EQ(system(pack.c_str()), 0);
    if (!show.userIni.empty()) std::ofstream(dir_ + "/" + name + ".ini") << show.userIni;

    const std::string raw = dir_ + "/" + name + ".raw";
    Heard heard;
    {
      auto p = Start(saver, {"/s"}, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + raw});
      // The picture is stored as a JPEG: red within the codec's error.
      const bool shown = WaitFor(
          [] {
            const uint32_t c = PixelAt(kScreenW / 2, kScreenH / 2);
            return (c >> 16) > 0xE0 && ((c >> 8) & 0xFF) < 0x20 && (c & 0xFF) < 0x20;
          },
          10s);
      EXPECT_TRUE(shown) << StderrText();
      std::this_thread::sleep_for(show.length);
      p->Signal(SIGTERM);
      heard.exitedCleanly = p->WaitExit(5s) == std::optional<int>(0);
    }
    // 44.1 kHz, stereo, 16-bit: the left channel is enough.
    std::ifstream in(raw, std::ios::binary);
    std::vector<int16_t> left;
    int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0]);
    constexpr size_t kTenth = 4410;
    for (double hz : pitches) {
      std::vector<bool>& t = heard.tenths[hz];
      // A tone of the files' level comes out well above 500 (the effects play at -8 dB);
      // the other tones and silence stay far below it.
      for (size_t at = 0; at + kTenth <= left.size(); at += kTenth)
        t.push_back(testing::ToneAmplitude(left, at, kTenth, hz) > 500);
    }
    return heard;
  }

  // One picture looping a 440 Hz sound, a 1000 Hz tune as its music.
  static Show OnePicture(const std::string& defaults, const std::string& userIni = "") {
    Show show;
    show.defaults = "Duration=60\n" + defaults;
    show.advance = "MusicFile=tune.wav";
    show.pictures = {{"surf.wav", kSoundHz, 0.3}};
    show.music = {{"tune.wav", kMusicHz, 6.0}};
    show.userIni = userIni;
    return show;
  }
};

// Both on: the picture's looping sound and the music play from the show's start to its end
// (the run lasts over a second and a half; at least a second of each is heard, starting in
// the first second and a half of the output). Catches the sound player or the music player
// not connected to the show, and the picture's sound slots not handed to the player.
TEST_F(SaverSound, SoundAndMusicOnAreBothHeard) {
  const Heard h = RunAndListen("both", OnePicture("Sound=1\nMusic=1"), {kSoundHz, kMusicHz});
  EXPECT_TRUE(h.exitedCleanly) << StderrText();
  EXPECT_GE(h.Count(kSoundHz), 10);
  EXPECT_GE(h.Count(kMusicHz), 10);
  EXPECT_GE(h.First(kSoundHz), 0);
  EXPECT_LE(h.First(kSoundHz), 15);
  EXPECT_GE(h.First(kMusicHz), 0);
  EXPECT_LE(h.First(kMusicHz), 15);
}

// Each setting switches its own player: catches Sound and Music crossed, or one of them
// switching both.
TEST_F(SaverSound, EachSettingSwitchesOnlyItsOwnPlayer) {
  const Heard soundOnly =
      RunAndListen("sound", OnePicture("Sound=1\nMusic=0"), {kSoundHz, kMusicHz});
  EXPECT_GE(soundOnly.Count(kSoundHz), 10);
  EXPECT_EQ(soundOnly.Count(kMusicHz), 0);
  const Heard musicOnly =
      RunAndListen("music", OnePicture("Sound=0\nMusic=1"), {kSoundHz, kMusicHz});
  EXPECT_EQ(musicOnly.Count(kSoundHz), 0);
  EXPECT_GE(musicOnly.Count(kMusicHz), 10);
}

// The user's file beside the saver overrides the author's defaults. Catches the show wired
// to the package's settings instead of the ones the user chose.
TEST_F(SaverSound, UserSettingsTurnTheSoundOff) {
  const Heard h =
      RunAndListen("user", OnePicture("Sound=1\nMusic=1", "[Setting]\nSound=0\nMusic=1\n"),
                   {kSoundHz, kMusicHz});
  EXPECT_EQ(h.Count(kSoundHz), 0);
  EXPECT_GE(h.Count(kMusicHz), 10);
}

// Both off: nothing is heard at all (no output may even be opened).
TEST_F(SaverSound, SoundAndMusicOffStaySilent) {
  const Heard h = RunAndListen("silent", OnePicture("Sound=0\nMusic=0"), {kSoundHz, kMusicHz});
  EXPECT_TRUE(h.exitedCleanly) << StderrText();
  EXPECT_EQ(h.Count(kSoundHz), 0);
  EXPECT_EQ(h.Count(kMusicHz), 0);
}

// A music list of a short file (0.5 s of 1000 Hz) and a long one (700 Hz), in list order:
// when the first ends, the second follows. Catches the player's end-of-file notice not
// reaching the show from the window's message pump (the music would stop after the first
// file) and the list played from the wrong end.
TEST_F(SaverSound, MusicGoesOnToTheNextFileOfTheList) {
  constexpr double kNextHz = 700;
  Show show;
  show.defaults = "Duration=60\nSound=0\nMusic=1";
  show.advance = "MusicFile=short.wav;long.wav\nMusicMode=1";
  show.pictures = {{"surf.wav", kSoundHz, 0.3}};
  show.music = {{"short.wav", kMusicHz, 0.5}, {"long.wav", kNextHz, 6.0}};
  show.length = 1800ms;
  const Heard h = RunAndListen("list", show, {kMusicHz, kNextHz});
  EXPECT_TRUE(h.exitedCleanly) << StderrText();
  ASSERT_GE(h.First(kMusicHz), 0);
  EXPECT_LE(h.Count(kMusicHz), 6);  // 0.5 s, touching at most six tenths
  EXPECT_GE(h.First(kNextHz), h.Last(kMusicHz));
  EXPECT_GE(h.Count(kNextHz), 8);
}

// Each picture brings its own sounds: the first picture loops 440 Hz, the second 660 Hz,
// changed after a second without a transition. Catches the next picture's sounds not
// loaded, and the old picture's sounds left playing over the new one.
TEST_F(SaverSound, PictureChangeSwapsItsSounds) {
  constexpr double kSecondHz = 660;
  Show show;
  show.defaults = "Duration=1\nTransition=0\nShowImageMode=1\nSound=1\nMusic=0";
  show.pictures = {{"first.wav", kSoundHz, 0.3}, {"second.wav", kSecondHz, 0.3}};
  show.length = 2200ms;
  const Heard h = RunAndListen("change", show, {kSoundHz, kSecondHz});
  EXPECT_TRUE(h.exitedCleanly) << StderrText();
  ASSERT_GE(h.First(kSoundHz), 0);
  ASSERT_GE(h.First(kSecondHz), 0);
  EXPECT_GE(h.Count(kSoundHz), 7);
  EXPECT_GE(h.Count(kSecondHz), 7);
  // The second sound starts after the first, and the two never sound together for
  // longer than a change takes: a tenth on each side of it. (The show returns to the first
  // picture after another second.)
  EXPECT_GT(h.First(kSecondHz), h.First(kSoundHz));
  const auto& first = h.tenths.at(kSoundHz);
  const auto& second = h.tenths.at(kSecondHz);
  int together = 0;
  for (size_t i = 0; i < first.size(); ++i) together += first[i] && second[i];
  EXPECT_LE(together, 2);
}

}  // namespace
}  // namespace vec

namespace vec {
namespace {

// A main window as large as the screen with three labels bound to "Next picture", "Close
// window" and "Previous picture", each 100 x 40 in a row, unless other labels are given.
std::string ConfigWindowDefinitions(const std::vector<std::pair<std::string, int>>& labels = {
                                        {"NextLabel", 2}, {"CloseLabel", 6}, {"PrevLabel", 3}}) {
  return testing::LabelRowWindow(labels);
}

// The real program in configuration mode: the window opens, clicks run the bound actions
// ("Next picture" twice, "Previous picture" once, then "Close window"), and the current
// picture reaches the user settings file beside the saver as Index 1. Catches the designed
// window not being shown at all, clicks not reaching the actions, and the close handling
// not writing the file.
TEST_F(SaverRun, ConfigWindowRunsItsActionsAndWritesTheIndex) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::string saver =
      MakeSaver("conf", {kRed, kBlue, kRed}, "", false, ConfigWindowDefinitions());
  auto p = Start(saver, {"/c"});
  ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
  Click(50, 20);  // next: 1
  // Two clicks on one spot closer than the double-click time are one click and a double
  // click, which runs no action.
  std::this_thread::sleep_for(700ms);
  Click(50, 20);  // next: 2
  std::this_thread::sleep_for(200ms);
  Click(250, 20);  // previous: 1
  std::this_thread::sleep_for(200ms);
  Click(150, 20);  // close
  EXPECT_EQ(p->WaitExit(10s), std::optional<int>(0)) << StderrText();
  std::ifstream ini(dir_ + "/conf.ini");
  const std::string text((std::istreambuf_iterator<char>(ini)), {});
  EXPECT_NE(text.find("Index=1"), std::string::npos) << text;
  EXPECT_TRUE(RunTempEmpty());
}

// "Preview selected file" runs the one-picture show over the window (the screen turns the
// picture's red), the mouse ends it, and the window is back and still works: its Close ends
// the run cleanly. Catches the show not starting, the window closing with it, and the run
// hanging after the show.
TEST_F(SaverRun, ConfigPreviewShowsThePictureAndReturnsToTheWindow) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::string saver =
      MakeSaver("prev", {kRed}, "Duration=60", false,
                ConfigWindowDefinitions({{"PreviewLabel", 4}, {"CloseLabel", 6}}));
  auto p = Start(saver, {"/c"});
  ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
  Click(50, 20);
  ASSERT_TRUE(ShowVisible(0xFF0000)) << StderrText();
  std::this_thread::sleep_for(300ms);
  for (int i = 1; i <= 10 && PixelAt(kScreenW / 2, kScreenH / 2) == 0xFF0000; ++i) {
    MovePointer(200 + 5 * i, 200);
    std::this_thread::sleep_for(80ms);
  }
  ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
  EXPECT_TRUE(p->Running());
  Click(150, 20);
  EXPECT_EQ(p->WaitExit(10s), std::optional<int>(0)) << StderrText();
  EXPECT_TRUE(RunTempEmpty());
}

// "Set as a Wallpaper": after Yes the picture is written beside the saver as NAME.scr.bmp and
// handed to the desktop's tool (here a recording `feh` first on PATH, no desktop named), as
// one argument. Catches the confirmation skipped or ignored, the wrong file name, and a
// path split by a shell.
TEST_F(SaverRun, ConfigWallpaperWritesTheBitmapAndTellsTheDesktop) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::string bin = dir_ + "/bin";
  fs::create_directories(bin);
  {
    std::ofstream feh(bin + "/feh");
    feh << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" << dir_ << "/feh-args'; done\n";
  }
  chmod((bin + "/feh").c_str(), 0755);
  const std::string saver = MakeSaver(
      "wall", {kBlue}, "", false, ConfigWindowDefinitions({{"WallLabel", 9}, {"CloseLabel", 6}}));
  const char* path = getenv("PATH");
  auto p = Start(saver, {"/c"},
                 {"PATH=" + bin + ":" + (path ? path : "/usr/bin:/bin"), "XDG_CURRENT_DESKTOP="});
  ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
  Click(50, 20);
  // The question takes Return (Yes is its default); a wallpaper that was set is not reported
  // in another box, so the window's Close works right after.
  ASSERT_TRUE(WaitFor(
      [&] {
        PressKey(XK_Return);
        return fs::exists(saver + ".bmp") && fs::exists(dir_ + "/feh-args");
      },
      15s))
      << StderrText();
  std::ifstream args(dir_ + "/feh-args");
  const std::string text((std::istreambuf_iterator<char>(args)), {});
  EXPECT_NE(text.find("--bg-center\n" + saver + ".bmp\n"), std::string::npos) << text;
  EXPECT_TRUE(WaitFor(
      [&] {
        Click(150, 20);
        return !p->Running();
      },
      10s));
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0)) << StderrText();
}

// A saver whose window definitions are damaged says so and ends normally, leaving nothing.
TEST_F(SaverRun, ConfigWithDamagedDefinitionsReportsAndEnds) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::string saver = MakeSaver("bad", {kRed}, "", false, "2\r\nnot a count\r\n");
  auto p = Start(saver, {"/c"});
  ASSERT_TRUE(
      WaitFor([&] { return StderrText().find("window definitions") != std::string::npos; }, 10s))
      << StderrText();
  // The message box waits for its OK.
  WaitFor(
      [&] {
        Click(kScreenW / 2, kScreenH / 2);
        PressKey(XK_Return);
        return !p->Running();
      },
      10s);
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0));
  EXPECT_TRUE(RunTempEmpty());
}

// The user whose settings a test keeps: "nobody" when the tests run as root (root may write
// anywhere, so only another user meets a folder they cannot write), else the tester.
struct TestUser {
  std::vector<std::string> prefix;  // the words that run a program as that user
  uid_t uid = geteuid();
  gid_t gid = getegid();

  static std::optional<TestUser> Choose() {
    TestUser user;
    if (geteuid() != 0) return user;
    const passwd* pw = getpwnam("nobody");
    if (pw == nullptr || system("command -v setpriv >/dev/null 2>&1") != 0) return std::nullopt;
    user.uid = pw->pw_uid;
    user.gid = pw->pw_gid;
    user.prefix = {"setpriv", "--reuid=" + std::to_string(user.uid),
                   "--regid=" + std::to_string(user.gid), "--clear-groups"};
    return user;
  }
  void Own(const std::string& path) const {
    [[maybe_unused]] int r = lchown(path.c_str(), uid, gid);
  }
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A saver installed where its user cannot write (read-only, as an installed package lies
// under /usr), with the settings an administrator left beside it: the user's "Next picture",
// "Open setting" with OK, and "Close window" all land in the user's own configuration folder,
// made for the purpose; the file beside the saver is read but never written; and the user's
// next show plays what the file says (the single selected picture, blue, at its own size in
// the middle of the screen, black around it). Catches a configuration folder that is never
// made (the save failed for every user of an installed saver), the file beside the saver
// written or ignored, the Settings dialog and the window saving to different files, and the
// show reading another file than the window wrote.
TEST_F(SaverRun, InstalledSaverKeepsTheUsersChoicesInTheirOwnFolder) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::optional<TestUser> user = TestUser::Choose();
  if (!user) GTEST_SKIP() << "running as root without setpriv or the user nobody";
  const std::string made = MakeSaver(
      "inst", {kRed, kBlue, kRed}, "Stretch=1\nProportional=0\nDirectX=0", false,
      ConfigWindowDefinitions({{"NextLabel", 2}, {"CloseLabel", 6}, {"SettingsLabel", 5}}));
  // The other user must reach every folder on the way, which the build tree (wherever it
  // was cloned) may not allow: this test's folders lie in the system's /tmp.
  struct SharedFolder {
    std::string path;
    SharedFolder() {
      std::string tmpl = "/tmp/vec-installed-XXXXXX";
      if (mkdtemp(tmpl.data())) path = tmpl;
      chmod(path.c_str(), 0755);
    }
    ~SharedFolder() {
      std::error_code ignored;
      fs::permissions(path + "/system", fs::perms::owner_all, ignored);
      fs::remove_all(path, ignored);
    }
  } shared;
  ASSERT_FALSE(shared.path.empty());
  const std::string system = shared.path + "/system";
  fs::create_directories(system);
  fs::copy_file(made, system + "/inst.scr");
  chmod((system + "/inst.scr").c_str(), 0755);
  const std::string beside = "[Setting]\r\nImageMode=3\r\nImageSize=0\r\n";
  std::ofstream(system + "/inst.ini", std::ios::binary) << beside;
  chmod(system.c_str(), 0555);
  const std::string config = shared.path + "/user-config";
  const std::string temp = shared.path + "/tmp";
  fs::create_directories(config);
  fs::create_directories(temp);
  for (const std::string& p : {config, temp}) user->Own(p);
  const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + config, "HOME=" + config,
                                        "TMPDIR=" + temp};
  auto start = [&](const std::string& mode) {
    std::vector<std::string> argv = user->prefix;
    argv.push_back(system + "/inst.scr");
    argv.push_back(mode);
    return std::make_unique<Process>(argv, Env(env), StderrPath());
  };

  const std::string saved = config + "/vecsaver/inst.ini";
  {
    auto p = start("/c");
    ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
    Click(50, 20);  // next: 1
    std::this_thread::sleep_for(300ms);
    Click(250, 20);  // the Settings dialog; Return is its OK
    ASSERT_TRUE(WaitFor(
        [&] {
          PressKey(XK_Return);
          return fs::exists(saved);
        },
        10s))
        << StderrText();
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(WaitFor(
        [&] {
          Click(150, 20);  // close
          return !p->Running();
        },
        10s));
    EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0)) << StderrText();
  }
  const std::string text = ReadWhole(saved);
  for (const char* key : {"Index=1", "ImageMode=3", "ImageSize=0", "DirectX=0", "Speed=10"})
    EXPECT_NE(text.find(key), std::string::npos) << key << " in\n" << text;
  EXPECT_EQ(ReadWhole(system + "/inst.ini"), beside);
  EXPECT_EQ(std::distance(fs::directory_iterator(system), fs::directory_iterator()), 2);
  struct stat st {};
  ASSERT_EQ(stat((config + "/vecsaver").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, user->uid);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  auto show = start("/s");
  EXPECT_TRUE(ShowVisible(0x0000FF)) << StderrText();
  EXPECT_EQ(PixelAt(100, 60), 0x000000u);  // outside the 320 x 240 picture
  EXPECT_EQ(PixelAt(170, 130), 0x0000FFu);
}

// "vecsaver --package FILE /c" for a package whose name is not a saver's: the mode word after
// the option allows the settings, so the window's choice is saved beside the file. Catches
// the access rule judged on "--package", the first argument, which dropped every choice.
TEST_F(SaverRun, PackageOptionBeforeTheConfigureWordSaves) {
#ifndef VEC_HAVE_XTEST
  GTEST_SKIP() << "XTest is not available";
#endif
  const std::string made =
      MakeSaver("opt", {kRed, kBlue, kRed}, "", false, ConfigWindowDefinitions());
  const std::string package = dir_ + "/opt.package";
  fs::rename(made, package);
  auto p = std::make_unique<Process>(
      std::vector<std::string>{VECSAVER_PATH, "--package", package, "/c"}, Env(), StderrPath());
  ASSERT_TRUE(WaitFor([] { return PixelAt(500, 300) == 0xFFFFFF; }, 10s)) << StderrText();
  Click(50, 20);  // next: 1
  std::this_thread::sleep_for(700ms);
  ASSERT_TRUE(WaitFor(
      [&] {
        Click(150, 20);  // close
        return !p->Running();
      },
      10s));
  EXPECT_EQ(p->WaitExit(5s), std::optional<int>(0)) << StderrText();
  EXPECT_NE(ReadWhole(dir_ + "/opt.ini").find("Index=1"), std::string::npos) << StderrText();
}

}  // namespace
}  // namespace vec
