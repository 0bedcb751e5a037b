// The whole studio on a virtual X display, driven through its keyboard shortcuts and its
// file dialogs as a person would: a photo opened from the command line, a mask painted in
// another program imported (Ctrl+I), the picture saved (Ctrl+S) and the studio closed
// (Ctrl+Q). What it saved is checked with vectool, as the show will read it.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "graphics/ImageFile.h"
#include "picture/Picture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/XvfbServer.h"

// Xlib last: its macros (Status, None, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vec {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kW = 320, kH = 200;

std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    pclose(pipe);
  }
  return out;
}

class StudioProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    xvfb_ = std::make_unique<testing::XvfbServer>(1400, 900);
    if (xvfb_->Name().empty()) GTEST_SKIP() << "Xvfb is not installed";
    display_ = XOpenDisplay(xvfb_->Name().c_str());
    ASSERT_NE(display_, nullptr);
    char pattern[] = "/tmp/vecstudio-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // A window's title: _NET_WM_NAME (UTF-8), else WM_NAME.
  std::string TitleOf(Window w) {
    const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, w, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
      title.assign(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
    char* name = nullptr;
    if (title.empty() && XFetchName(display_, w, &name) && name) {
      title = name;
      XFree(name);
    }
    return title;
  }

  // The first window (depth first) whose title holds `text`, or 0.
  Window WindowTitled(const std::string& text) {
    std::function<Window(Window)> search = [&](Window w) -> Window {
      if (TitleOf(w).find(text) != std::string::npos) return w;
      Window root, parent, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return 0;
      Window found = 0;
      for (unsigned i = 0; i < count && !found; ++i) found = search(children[i]);
      if (children) XFree(children);
      return found;
    };
    return search(DefaultRootWindow(display_));
  }

  // Gives the window the keyboard, as a window manager would when it is shown or clicked
  // (the virtual display runs none).
  bool Focus(const std::string& title) {
    Window w = 0;
    if (!testing::WaitFor([&] { return (w = WindowTitled(title)) != 0; }, 20s)) return false;
    std::this_thread::sleep_for(300ms);
    XSetInputFocus(display_, w, RevertToParent, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(300ms);
    return true;
  }

  void Key(KeySym sym, bool control = false, bool shift = false) {
    const KeyCode code = XKeysymToKeycode(display_, sym);
    const KeyCode ctrl = XKeysymToKeycode(display_, XK_Control_L);
    const KeyCode shiftKey = XKeysymToKeycode(display_, XK_Shift_L);
    if (control) XTestFakeKeyEvent(display_, ctrl, True, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, ctrl, False, CurrentTime);
    XFlush(display_);
  }

  void Type(const std::string& text) {
    for (const char c : text) {
      const bool upper = std::isupper(static_cast<unsigned char>(c)) != 0;
      KeySym sym = static_cast<unsigned char>(c);
      bool shift = upper;
      if (c == '_') sym = XK_minus, shift = true;
      if (upper) sym = static_cast<KeySym>(std::tolower(static_cast<unsigned char>(c)));
      Key(sym, false, shift);
    }
  }

  std::unique_ptr<testing::XvfbServer> xvfb_;
  Display* display_ = nullptr;
  std::string dir_;
};

TEST_F(StudioProgramTest, APhotoAndAPaintedMaskBecomeAPictureTheShowReads) {
  // The photo, and its mask painted elsewhere with softened colours: the sea (lower half)
  // in magenta, a pool (columns 20..59, rows 10..39) in blue.
  QImage photo(kW, kH, QImage::Format_RGB32);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) photo.setPixel(x, y, qRgb((x * 3 + y) & 255, (x ^ y) & 255, y));
  ASSERT_TRUE(photo.save(QString::fromStdString(dir_ + "/photo.png")));
  QImage mask(kW, kH, QImage::Format_RGB32);
  mask.fill(qRgb(10, 10, 10));
  for (int y = kH / 2; y < kH; ++y)
    for (int x = 0; x < kW; ++x) mask.setPixel(x, y, qRgb(235, 20, 240));
  for (int y = 10; y < 40; ++y)
    for (int x = 20; x < 60; ++x) mask.setPixel(x, y, qRgb(15, 10, 230));
  ASSERT_TRUE(mask.save(QString::fromStdString(dir_ + "/mask.png")));

  testing::ChildProcess::Options options;
  options.env = {"DISPLAY=" + xvfb_->Name(), "QT_QPA_PLATFORM=xcb",
                 "XDG_CONFIG_HOME=" + dir_ + "/config"};
  options.stderrFile = dir_ + "/studio.log";
  testing::ChildProcess studio({VECSTUDIO_PATH, dir_ + "/photo.png"}, options);
  ASSERT_TRUE(Focus("photo.vep"));

  Key(XK_i, true);
  ASSERT_TRUE(Focus("Import a mask picture"));
  Type(dir_ + "/mask.png");
  Key(XK_Return);
  ASSERT_TRUE(testing::WaitFor([&] { return WindowTitled("Import a mask picture") == 0; }, 10s));

  ASSERT_TRUE(Focus("photo.vep"));
  Key(XK_s, true);
  ASSERT_TRUE(Focus("Save the picture file"));
  Key(XK_Return);  // the picture goes beside its photo, as proposed
  const std::string picture = dir_ + "/photo.vep";
  ASSERT_TRUE(testing::WaitFor([&] { return fs::exists(picture); }, 10s));

  ASSERT_TRUE(Focus("photo.vep"));
  Key(XK_q, true);
  EXPECT_EQ(studio.WaitExit(10s), 0);

  const auto info =
      nlohmann::json::parse(CommandOutput(std::string(VECTOOL_PATH) + " info --json " + picture));
  EXPECT_TRUE(info["loaded"].get<bool>());
  EXPECT_EQ(info["Title"], "photo");
  EXPECT_EQ(info["width"], kW);
  const auto counts = info["mask"]["counts"];
  EXPECT_EQ(counts[1].get<int>(), 40 * 30);
  EXPECT_EQ(counts[2].get<int>(), kW * kH / 2);
  EXPECT_EQ(counts[0].get<int>(), kW * kH / 2 - 40 * 30);

  // A frame of the show: the water moved (the new picture's wave sets), the rest is still.
  const std::string frames = dir_ + "/frames";
  CommandOutput(std::string(VECTOOL_PATH) + " animate " + picture + " --size " +
                std::to_string(kW) + "x" + std::to_string(kH) +
                " --seconds 1 --fps 4 --seed 3 --out " + frames);
  auto frame = LoadImageFromFile(frames + "/frame0004.bmp");
  ASSERT_TRUE(frame.ok());
  Picture still;
  ASSERT_TRUE(still.LoadFromFile(picture));
  int stillSky = 0, movedSea = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool same =
          (frame->GetPixel(x, y) & 0xFFFFFF) == (still.image.GetPixel(x, y) & 0xFFFFFF);
      if (still.mask.At(x, y) == 0) stillSky += same;
      if (still.mask.At(x, y) == 2) movedSea += !same;
    }
  EXPECT_EQ(stillSky, kW * kH / 2 - 40 * 30);
  EXPECT_GT(movedSea, kW * kH / 20);
}

}  // namespace
}  // namespace vec
