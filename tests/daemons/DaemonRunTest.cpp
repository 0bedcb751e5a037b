// The saver under the real screen-saver daemons on a virtual display: installed with its own
// --install, started by the daemon, drawing its first picture into the daemon's window, and
// gone with its extracted files when the daemon stops it. Each daemon test skips itself when
// its daemon (or what it needs to run headless) is missing.
//
// XScreenSaver starts no savers as root, and xsecurelock is a user's locker too, so when the
// tests run as root they run both as the unprivileged user "nobody" (setpriv), in a
// temporary home it owns.
// mate-screensaver runs only programs in its own folder under /usr/lib: the system-wide
// install goes into scratch folders bound over /usr/local and that folder in a private mount
// namespace, so the real system stays untouched.

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
#include "tests/support/XvfbServer.h"

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
using testing::ChildProcess;
using testing::WaitFor;

constexpr int kScreenW = 640, kScreenH = 480;
constexpr uint32_t kRgbRed = 0xFF0000, kRgbBlue = 0x0000FF;

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

bool OnPath(const std::string& program) {
  return system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The NUL-separated strings of a /proc file (cmdline, environ).
std::vector<std::string> ProcStrings(pid_t pid, const char* file) {
  const std::string text = ReadText("/proc/" + std::to_string(pid) + "/" + file);
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\0', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// Processes whose program (first argument) has the file name `name`.
std::vector<pid_t> ProcessesNamed(const std::string& name) {
  std::vector<pid_t> pids;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string dir = entry.path().filename().string();
    if (dir.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = std::stoi(dir);
    const std::vector<std::string> args = ProcStrings(pid, "cmdline");
    if (!args.empty() && fs::path(args[0]).filename() == name) pids.push_back(pid);
  }
  return pids;
}

// Entries of `folder` whose names start with `stem`: a run's folder is the saver's base
// name followed by its run number.
std::vector<std::string> RunFolders(const std::string& folder, const std::string& stem) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(stem, 0) == 0) out.push_back(name);
  }
  return out;
}

// Within `tolerance` on each channel: the show scales and may dither.
bool Near(uint32_t a, uint32_t b, int tolerance = 48) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
  return true;
}

class DaemonRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    xvfb_ = std::make_unique<testing::XvfbServer>(kScreenW, kScreenH);
    displayName_ = xvfb_->Name();
    if (!displayName_.empty()) display_ = XOpenDisplay(displayName_.c_str());
    // The daemons' windows come and go while the tests look at them: a window that is gone
    // is a failed check, not the end of the test program.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  static void TearDownTestSuite() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    xvfb_.reset();
  }

  void SetUp() override {
    if (!display_) GTEST_SKIP() << "Xvfb is not available";
    char tmpl[] = "/tmp/vec-daemon-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    chmod(dir_.c_str(), 0755);
    home_ = dir_ + "/home";
    runTemp_ = dir_ + "/tmp";
    runtimeDir_ = dir_ + "/run";
    fs::create_directories(home_);
    fs::create_directories(runTemp_);
    fs::create_directories(runtimeDir_);
    chmod(runtimeDir_.c_str(), 0700);
    // Savers as root are refused by the daemons; root runs them as "nobody".
    if (geteuid() == 0) {
      if (const passwd* pw = getpwnam("nobody")) {
        uid_ = pw->pw_uid;
        gid_ = pw->pw_gid;
      }
    }
  }

  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
    // What a failed run left in the shared /tmp.
    for (const std::string& stem : tmpStems_)
      for (const std::string& name : RunFolders("/tmp", stem)) fs::remove_all("/tmp/" + name);
  }

  // Runs as root with no unprivileged user to switch to.
  bool CannotDropRoot() const { return geteuid() == 0 && (!uid_ || !OnPath("setpriv")); }

  // Gives the test's folders to the user the daemons run as.
  void HandOver() const {
    if (!uid_) return;
    for (const std::string& top : {dir_, home_, runTemp_, runtimeDir_}) {
      [[maybe_unused]] int r = lchown(top.c_str(), *uid_, *gid_);
    }
    for (const auto& e : fs::recursive_directory_iterator(dir_)) {
      [[maybe_unused]] int r = lchown(e.path().c_str(), *uid_, *gid_);
    }
  }

  // The words that start `argv` as the daemons' user, in a clean environment.
  std::vector<std::string> AsUser(std::vector<std::string> argv) const {
    std::vector<std::string> out;
    if (uid_) {
      out = {"setpriv", "--reuid=" + std::to_string(*uid_), "--regid=" + std::to_string(*gid_),
             "--clear-groups"};
    }
    out.insert(out.end(), argv.begin(), argv.end());
    return out;
  }

  // A session's environment: the display, a home, a temporary folder.
  std::vector<std::string> SessionEnv(std::vector<std::string> extra = {}) const {
    std::vector<std::string> env = {"DISPLAY=" + displayName_,
                                    "HOME=" + home_,
                                    "TMPDIR=" + runTemp_,
                                    "XDG_RUNTIME_DIR=" + runtimeDir_,
                                    "PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin",
                                    "SDL_AUDIODRIVER=dummy"};
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
  }

  std::unique_ptr<ChildProcess> StartDaemon(const std::vector<std::string>& argv,
                                            const std::vector<std::string>& env,
                                            const std::string& log) const {
    ChildProcess::Options options;
    options.env = env;
    options.cleanEnvironment = true;
    options.stderrFile = dir_ + "/" + log;
    options.captureStdout = true;
    options.ownGroup = true;
    return std::make_unique<ChildProcess>(argv, options);
  }

  // Runs a short command to its end; its exit code (-1 when it did not end within 20 s)
  // and its output in `output`.
  int RunToEnd(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               std::string* output = nullptr) const {
    const std::string log = "command-" + std::to_string(commands_++) + ".txt";
    auto p = StartDaemon(argv, env, log);
    const std::optional<int> code = p->WaitExit(20s);
    if (output) *output = ReadText(dir_ + "/" + log);
    return code.value_or(-1);
  }

  // A saver whose first picture is red on the left half and blue on the right (a mirrored
  // or unscaled drawing shows otherwise), its second plain green, shown for a minute each,
  // stretched to the window.
  std::string MakeSaver(const std::string& stem) const {
    const std::string files = dir_ + "/" + stem + "-files";
    fs::create_directories(files);
    BlendBitmap first(320, 240);
    first.FillRect(0, 0, 160, 240, MakePixel(255, 0, 0));
    first.FillRect(160, 0, 320, 240, MakePixel(0, 0, 255));
    BlendBitmap second(320, 240);
    second.Clear(MakePixel(0, 255, 0));
    EXPECT_TRUE(SaveBmp32(first, files + "/First.bmp").ok());
    EXPECT_TRUE(SaveBmp32(second, files + "/Second.bmp").ok());
    std::ofstream(dir_ + "/" + stem + "-list.ini") << "[FileList]\nFirst.bmp=1\nSecond.bmp=1\n";
    std::ofstream(dir_ + "/" + stem + "-settings.ini")
        << "[General]\nProductName=" << stem
        << "\n[Default]\nSound=0\nMusic=0\nDuration=60\nTransition=0\nShowImageMode=1\n"
           "Stretch=1\nProportional=0\n";
    const std::string out = dir_ + "/" + stem + ".scr";
    const std::string cmd = std::string(VECTOOL_PATH) + " pack --files " + files + " --settings " +
                            dir_ + "/" + stem + "-settings.ini --filelist " + dir_ + "/" + stem +
                            "-list.ini --out " + out + " --saver-from " + VECSAVER_PATH +
                            " >/dev/null 2>&1";
    EXPECT_EQ(system(cmd.c_str()), 0);
    chmod(out.c_str(), 0755);
    return out;
  }

  // Pixel of a window (the root by default) as 0xRRGGBB.
  static uint32_t PixelAt(int x, int y, Window w = 0) {
    if (!w) w = DefaultRootWindow(display_);
    XImage* img = XGetImage(display_, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFFFFFFFF;
    const uint32_t p = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
  }

  // The first picture, stretched over `w` (the screen by default): red in the middle of the
  // left half, blue in the middle of the right half.
  static bool ShowsFirstPicture(int width = kScreenW, int height = kScreenH, Window w = 0) {
    return Near(PixelAt(width / 4, height / 2, w), kRgbRed) &&
           Near(PixelAt(width * 3 / 4, height / 2, w), kRgbBlue) &&
           Near(PixelAt(width / 8, height - 2, w), kRgbRed) &&
           Near(PixelAt(width - 2, 1, w), kRgbBlue);
  }

  // The window a daemon gave the saver `pid` to draw in (XSCREENSAVER_WINDOW, hex or
  // decimal), when it is one of this display's windows.
  static std::optional<Window> DaemonWindowOf(pid_t pid) {
    for (const std::string& e : ProcStrings(pid, "environ")) {
      if (e.rfind("XSCREENSAVER_WINDOW=", 0) != 0) continue;
      const Window w = std::strtoul(e.c_str() + 20, nullptr, 0);
      XWindowAttributes a{};
      if (w && XGetWindowAttributes(display_, w, &a)) return w;
    }
    return std::nullopt;
  }

  // Whether `w` holds a shown child window of its own size: the saver's, inside the window it
  // was given (a window of its own over the screen would show the same pixels).
  static bool HasChildOfItsSize(Window w) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display_, w, &a)) return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
      XWindowAttributes c{};
      found = XGetWindowAttributes(display_, children[i], &c) && c.map_state == IsViewable &&
              c.width == a.width && c.height == a.height;
    }
    if (children) XFree(children);
    return found;
  }

  // The saver draws the first picture over the whole of the window `w` it was given.
  static bool WindowShowsFirstPicture(Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(display_, w, &a) && HasChildOfItsSize(w) &&
           ShowsFirstPicture(a.width, a.height, w);
  }

  // The one running saver named `name`, once it has started (within 15 s).
  static std::optional<pid_t> StartedSaver(const std::string& name) {
    std::vector<pid_t> pids;
    WaitFor([&] { return !(pids = ProcessesNamed(name)).empty(); }, 15s);
    if (pids.size() != 1) return std::nullopt;
    return pids[0];
  }

  std::string Describe(Window w, const std::string& log) const {
    XWindowAttributes a{};
    XGetWindowAttributes(display_, w, &a);
    return std::to_string(a.width) + "x" + std::to_string(a.height) + " left " +
           Hex(PixelAt(a.width / 4, a.height / 2, w)) + " right " +
           Hex(PixelAt(a.width * 3 / 4, a.height / 2, w)) + "\n" + ReadText(dir_ + "/" + log);
  }

  static std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06x", v);
    return buf;
  }

  static void PressKey(KeySym sym) {
#ifdef VEC_HAVE_XTEST
    const KeyCode code = XKeysymToKeycode(display_, sym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
#else
    (void)sym;
#endif
  }

  static inline std::unique_ptr<testing::XvfbServer> xvfb_;
  static inline Display* display_ = nullptr;
  static inline std::string displayName_;
  std::string dir_, home_, runTemp_, runtimeDir_;
  std::optional<uid_t> uid_;
  std::optional<gid_t> gid_;
  mutable int commands_ = 0;
  std::vector<std::string> tmpStems_;  // savers whose run folders go to /tmp
};

// XScreenSaver started on the settings file `--install --for xscreensaver` wrote: on
// -activate it starts the saver, which fills the daemon's window with its first picture; on
// -deactivate the saver ends and its extracted files go. Catches an entry the daemon cannot
// run (quoting, a relative path, an option it rejects), a saver that draws nothing or
// mirrored into the daemon's window, and one that is killed before it cleans up.
TEST_F(DaemonRun, XScreenSaverRunsTheInstalledSaverAndStopsIt) {
  if (!OnPath("xscreensaver") || !OnPath("xscreensaver-command"))
    GTEST_SKIP() << "xscreensaver is not installed (Debian package xscreensaver)";
  if (CannotDropRoot())
    GTEST_SKIP() << "running as root without setpriv or the user nobody: XScreenSaver starts "
                    "no savers as root";
  const std::string stem = "VecXss";
  const std::string saver = MakeSaver(stem);
  HandOver();
  std::string said;
  ASSERT_EQ(RunToEnd(AsUser({saver, "--install", "--for", "xscreensaver"}), SessionEnv(), &said), 0)
      << said;
  const std::string installed = home_ + "/.local/share/vecsaver/savers/" + stem + ".scr";
  ASSERT_NE(ReadText(home_ + "/.xscreensaver").find(installed + " -root"), std::string::npos)
      << ReadText(home_ + "/.xscreensaver");

  auto daemon = StartDaemon(AsUser({"xscreensaver", "-no-splash", "-verbose"}), SessionEnv(),
                            "xscreensaver.txt");
  // The command reaches the daemon once it has started.
  ASSERT_TRUE(WaitFor(
      [&] {
        return RunToEnd(AsUser({"xscreensaver-command", "-activate"}), SessionEnv()) == 0;
      },
      10s))
      << ReadText(dir_ + "/xscreensaver.txt");
  // The daemon fades the screen out before it starts the saver.
  const std::optional<pid_t> saverPid = StartedSaver(stem + ".scr");
  ASSERT_TRUE(saverPid) << ReadText(dir_ + "/xscreensaver.txt");
  const std::optional<Window> window = DaemonWindowOf(*saverPid);
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(*window); }, 10s))
      << Describe(*window, "xscreensaver.txt");
  EXPECT_TRUE(ShowsFirstPicture());  // the daemon's window covers the screen
  EXPECT_EQ(RunFolders(runTemp_, stem).size(), 1u);

  ASSERT_EQ(RunToEnd(AsUser({"xscreensaver-command", "-deactivate"}), SessionEnv()), 0);
  EXPECT_TRUE(WaitFor([&] { return ProcessesNamed(stem + ".scr").empty(); }, 5s))
      << ReadText(dir_ + "/xscreensaver.txt");
  EXPECT_TRUE(RunFolders(runTemp_, stem).empty());
  EXPECT_NE(ReadText(dir_ + "/xscreensaver.txt").find(installed), std::string::npos);
}

// xsecurelock with the XSECURELOCK_SAVER line `--install --for xsecurelock` printed: its
// saver_multiplex starts the saver in a window of its own (named in XSCREENSAVER_WINDOW), and
// when its password prompt closes it sends the user signal to reset the saver: the saver
// ends cleanly (its files go) and is started afresh; the locker's end ends it too. Catches a
// printed line that does not run, a saver that ignores XSCREENSAVER_WINDOW, and a reset
// that kills the saver before it cleans up.
TEST_F(DaemonRun, XSecureLockRunsTheSaverAndResetsItWithTheUserSignal) {
  if (!OnPath("xsecurelock")) GTEST_SKIP() << "xsecurelock is not installed";
  if (CannotDropRoot()) GTEST_SKIP() << "running as root without setpriv or the user nobody";
  const std::string stem = "VecXsl";
  const std::string saver = MakeSaver(stem);
  HandOver();
  std::string said;
  ASSERT_EQ(RunToEnd(AsUser({saver, "--install", "--for", "xsecurelock"}), SessionEnv(), &said), 0)
      << said;
  // The line to use, exactly as printed: "  XSECURELOCK_SAVER=/path xsecurelock".
  const size_t at = said.find("XSECURELOCK_SAVER=");
  ASSERT_NE(at, std::string::npos) << said;
  const std::string line = said.substr(at, said.find('\n', at) - at);
  const size_t blank = line.find(' ');
  ASSERT_EQ(line.substr(blank), " xsecurelock") << line;
  const std::string setting = line.substr(0, blank);

  auto daemon = StartDaemon(AsUser({"xsecurelock"}),
                            SessionEnv({setting, "XSECURELOCK_SAVER_RESET_ON_AUTH_CLOSE=1",
                                        "XSECURELOCK_AUTH_TIMEOUT=1"}),
                            "xsecurelock.txt");
  const std::optional<pid_t> first = StartedSaver(stem + ".scr");
  ASSERT_TRUE(first) << ReadText(dir_ + "/xsecurelock.txt");
  // saver_multiplex's own window for the screen, not the locker's.
  const std::optional<Window> window = DaemonWindowOf(*first);
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(*window); }, 10s))
      << Describe(*window, "xsecurelock.txt");
  const std::vector<std::string> folders = RunFolders(runTemp_, stem);
  ASSERT_EQ(folders.size(), 1u);

#ifdef VEC_HAVE_XTEST
  // A key opens the prompt; it closes after a second without input, and the saver is reset.
  PressKey(XK_Shift_L);
  std::vector<pid_t> savers;
  ASSERT_TRUE(WaitFor(
      [&] {
        savers = ProcessesNamed(stem + ".scr");
        return savers.size() == 1 && savers[0] != *first;
      },
      15s))
      << ReadText(dir_ + "/xsecurelock.txt");
  EXPECT_FALSE(fs::exists(runTemp_ + "/" + folders[0])) << "the reset saver left its files";
  const std::optional<Window> again = DaemonWindowOf(savers[0]);
  ASSERT_TRUE(again);
  EXPECT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(*again); }, 10s))
      << Describe(*again, "xsecurelock.txt");
#endif

  daemon->Signal(SIGTERM);
  EXPECT_TRUE(daemon->WaitExit(5s).has_value());
  EXPECT_TRUE(WaitFor([&] { return ProcessesNamed(stem + ".scr").empty(); }, 5s));
  EXPECT_TRUE(RunFolders(runTemp_, stem).empty());
}

// Whether this process may make a private mount namespace (as root, or as a user through a
// user namespace): the words that start a program in one, or nothing.
std::optional<std::vector<std::string>> PrivateMountNamespace() {
  if (!OnPath("unshare")) return std::nullopt;
  std::vector<std::vector<std::string>> ways = {{"unshare", "--mount", "--propagation", "private"}};
  if (geteuid() != 0)
    ways.insert(ways.begin(),
                {"unshare", "--user", "--map-root-user", "--mount", "--propagation", "private"});
  for (const auto& way : ways) {
    std::string probe;
    for (const auto& w : way) probe += w + " ";
    if (system((probe + "true >/dev/null 2>&1").c_str()) == 0) return way;
  }
  return std::nullopt;
}

// mate-screensaver on the theme `--install --for mate --system` wrote (into scratch
// folders standing in for /usr/local and its program folder): it runs the linked saver with
// no arguments and XSCREENSAVER_WINDOW set and without TMPDIR; the saver fills the window
// with its first picture, and ends with its files when the daemon deactivates. Catches a
// desktop entry or link the daemon cannot use, a saver that needs arguments to find its
// window, and files left in /tmp.
TEST_F(DaemonRun, MateScreensaverRunsTheInstalledThemeAndStopsIt) {
  for (const char* program : {"mate-screensaver", "mate-screensaver-command", "dbus-daemon"})
    if (!OnPath(program)) GTEST_SKIP() << program << " is not installed";
  const std::string hackFolder = "/usr/lib/mate-screensaver/mate-screensaver";
  if (!fs::is_directory(hackFolder)) GTEST_SKIP() << hackFolder << " is missing";
  const auto mountNamespace = PrivateMountNamespace();
  if (!mountNamespace)
    GTEST_SKIP() << "cannot make a private mount namespace (needs root or user namespaces): the "
                    "system-wide install would write to the real /usr/local and "
                 << hackFolder;
  // The daemon passes no TMPDIR: the run folder is made in /tmp, under a name of its own.
  const std::string stem = "VecMate" + std::to_string(getpid());
  tmpStems_.push_back(stem);
  const std::string saver = MakeSaver(stem);
  fs::create_directories(dir_ + "/usr-local");
  fs::create_directories(dir_ + "/hacks");
  fs::create_directories(dir_ + "/config/glib-2.0/settings");
  std::ofstream(dir_ + "/config/glib-2.0/settings/keyfile")
      << "[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-vecsaver-" << stem
      << "']\nlock-enabled=false\nidle-activation-enabled=false\n";
  const std::string bus = "DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir_ + "/bus";
  // A session bus of the test's own. It lets clients in without checking their user id: in a
  // user namespace (when the tests do not run as root) the daemon's id differs from the one
  // the bus sees.
  std::ofstream(dir_ + "/bus.conf")
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n  <type>session</type>\n  <listen>unix:path="
      << dir_
      << "/bus</listen>\n  <auth>ANONYMOUS</auth>\n  <allow_anonymous/>\n"
         "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
  auto busDaemon = StartDaemon({"dbus-daemon", "--config-file=" + dir_ + "/bus.conf", "--nofork"},
                               SessionEnv(), "bus.txt");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ + "/bus"); }, 5s))
      << ReadText(dir_ + "/bus.txt");

  const std::string script =
      "mount --bind \"$2/usr-local\" /usr/local && mount --bind \"$2/hacks\" " + hackFolder +
      " && \"$1\" --install --for mate --system > \"$2/install.txt\" 2>&1 &&"
      " echo installed >> \"$2/install.txt\" && exec mate-screensaver --no-daemon --debug";
  std::vector<std::string> argv = *mountNamespace;
  for (const std::string& w :
       {std::string("sh"), std::string("-c"), script, std::string("sh"), saver, dir_})
    argv.push_back(w);
  const std::vector<std::string> env = SessionEnv(
      {bus, "GSETTINGS_BACKEND=keyfile", "XDG_CONFIG_HOME=" + dir_ + "/config", "NO_AT_BRIDGE=1"});
  auto daemon = StartDaemon(argv, env, "mate.txt");
  ASSERT_TRUE(WaitFor(
      [&] { return ReadText(dir_ + "/install.txt").find("installed\n") != std::string::npos; },
      10s))
      << ReadText(dir_ + "/install.txt") << ReadText(dir_ + "/mate.txt");
  const std::string entry =
      ReadText(dir_ + "/usr-local/share/applications/screensavers/vecsaver-" + stem + ".desktop");
  EXPECT_NE(entry.find("\nExec=" + hackFolder + "/" + stem + ".scr\n"), std::string::npos) << entry;
  EXPECT_EQ(fs::read_symlink(dir_ + "/hacks/" + stem + ".scr"),
            "/usr/local/lib/vecsaver/savers/" + stem + ".scr");

  // The command reaches the daemon once it is on the bus.
  std::vector<pid_t> savers;
  ASSERT_TRUE(WaitFor(
      [&] {
        RunToEnd({"mate-screensaver-command", "--activate"}, env);
        return WaitFor([&] { return !(savers = ProcessesNamed(stem + ".scr")).empty(); }, 1s);
      },
      15s))
      << ReadText(dir_ + "/mate.txt");
  ASSERT_EQ(savers.size(), 1u);
  EXPECT_EQ(ProcStrings(savers[0], "cmdline"),
            std::vector<std::string>{hackFolder + "/" + stem + ".scr"});
  const std::optional<Window> window = DaemonWindowOf(savers[0]);
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(*window); }, 10s))
      << Describe(*window, "mate.txt");
  EXPECT_EQ(RunFolders("/tmp", stem).size(), 1u);

  RunToEnd({"mate-screensaver-command", "--deactivate"}, env);
  EXPECT_TRUE(WaitFor([&] { return ProcessesNamed(stem + ".scr").empty(); }, 5s))
      << ReadText(dir_ + "/mate.txt");
  EXPECT_TRUE(RunFolders("/tmp", stem).empty());
}

// The settings programs' preview: the saver started with --window-id (or -window-id) on a
// small window of their own, the id in hex or decimal, fills it with its first picture and
// ends with its files on the terminate. The window is wider than tall and smaller than the
// picture. Catches the id read in the wrong base, the show drawn full-screen or at the
// picture's size instead of into the window, and a mirrored picture.
TEST_F(DaemonRun, WindowIdOfASettingsPreviewIsFilled) {
  const std::string stem = "VecPreview";
  const std::string saver = MakeSaver(stem);
  struct Case {
    const char* option;
    bool hex;
  };
  for (const Case& c :
       {Case{"--window-id", true}, Case{"-window-id", false}, Case{"--window-id", false}}) {
    const int w = 200, h = 90;
    const Window win =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 20, 30, w, h, 0, 0, 0x00FF00);
    XMapWindow(display_, win);
    XSync(display_, False);
    char id[32];
    std::snprintf(id, sizeof id, c.hex ? "0x%lx" : "%lu", win);
    ChildProcess p({saver, c.option, id}, SessionEnv(), dir_ + "/preview.txt");
    EXPECT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(win); }, 10s))
        << c.option << " " << id << " " << Hex(PixelAt(w / 4, h / 2, win)) << " "
        << Hex(PixelAt(w * 3 / 4, h / 2, win)) << ReadText(dir_ + "/preview.txt");
    // Outside the window the screen stays as it was.
    EXPECT_FALSE(Near(PixelAt(kScreenW - 10, kScreenH - 10), kRgbBlue));
    p.Signal(SIGTERM);
    EXPECT_EQ(p.WaitExit(5s), std::optional<int>(0)) << c.option;
    EXPECT_TRUE(RunFolders(runTemp_, stem).empty()) << c.option;
    XDestroyWindow(display_, win);
    XSync(display_, False);
  }
}

// The saver started exactly as each daemon starts it, for where the daemon itself cannot run:
// XScreenSaver's "--root" with the window in hex, saver_multiplex's "-root" with it in
// decimal, and mate-screensaver's bare program in a pared-down environment without TMPDIR
// (so the run folder goes to /tmp). Catches a dialect that falls back to the configuration
// window or the full screen, and files left behind on the daemon's terminate.
TEST_F(DaemonRun, SaverStartedAsEachDaemonStartsItFillsTheWindowAndEndsClean) {
  struct Case {
    const char* daemon;
    std::vector<std::string> args;
    bool hexWindow;
    bool sessionEnvironment;  // else only what mate-screensaver passes on
  };
  const Case cases[] = {{"xscreensaver", {"--root"}, true, true},
                        {"xsecurelock", {"-root"}, false, true},
                        {"mate-screensaver", {}, true, false}};
  for (const Case& c : cases) {
    const std::string stem = "VecAs" + std::to_string(getpid()) + c.daemon;
    const std::string saver = MakeSaver(stem);
    const Window win = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, kScreenW,
                                           kScreenH, 0, 0, 0x00FF00);
    XMapWindow(display_, win);
    XSync(display_, False);
    char id[32];
    std::snprintf(id, sizeof id, c.hexWindow ? "0x%lx" : "%lu", win);
    std::vector<std::string> env = {"XSCREENSAVER_WINDOW=" + std::string(id)};
    if (c.sessionEnvironment) {
      const std::vector<std::string> session = SessionEnv();
      env.insert(env.end(), session.begin(), session.end());
    } else {
      env.insert(env.end(), {"DISPLAY=" + displayName_, "HOME=" + home_, "PATH=/usr/bin:/bin"});
    }
    const std::string temp = c.sessionEnvironment ? runTemp_ : "/tmp";
    tmpStems_.push_back(stem);
    std::vector<std::string> argv = {saver};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ChildProcess::Options options;
    options.env = env;
    options.cleanEnvironment = true;
    options.stderrFile = dir_ + "/as-daemon.txt";
    ChildProcess p(argv, options);
    EXPECT_TRUE(WaitFor([&] { return WindowShowsFirstPicture(win); }, 10s))
        << c.daemon << " " << Describe(win, "as-daemon.txt");
    EXPECT_EQ(RunFolders(temp, stem).size(), 1u) << c.daemon;
    p.Signal(SIGTERM);
    EXPECT_EQ(p.WaitExit(5s), std::optional<int>(0)) << c.daemon;
    EXPECT_TRUE(RunFolders(temp, stem).empty()) << c.daemon;
    XDestroyWindow(display_, win);
    XSync(display_, False);
  }
}

}  // namespace
}  // namespace vec
