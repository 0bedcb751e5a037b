// The wallpaper setter: the bitmap file, where it goes, and the command lines each desktop
// gets, seen through fake desktop programs that record their arguments.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "configui/Wallpaper.h"
#include "graphics/Bmp.h"
#include "tests/configui/settings/TestFolders.h"

namespace vec {
namespace {

using test::ReadText;
using test::ScopedEnv;
using test::ScratchFolder;
using test::WriteText;
using Commands = std::vector<std::vector<std::string>>;

// A folder of fake programs, alone on PATH, each appending its name and arguments to one log
// (arguments separated by 0x1F, one line per run), and a saver folder beside it.
class WallpaperTest : public testing::Test {
 protected:
  WallpaperTest() {
    mkdir((root_ / "bin").c_str(), 0755);
    mkdir((root_ / "savers").c_str(), 0755);
    env_.Set("PATH", root_ / "bin")
        .Set("XDG_DATA_HOME", root_ / "data")
        .Set("HOME", root_ / "home")
        .Set("XDG_CURRENT_DESKTOP", std::nullopt);
  }

  void FakeProgram(const std::string& name, const std::string& extra = "") {
    const std::string path = root_ / ("bin/" + name);
    WriteText(path, "#!/bin/sh\nprintf '%s\\037' \"${0##*/}\" \"$@\" >> '" + log() +
                        "'\nprintf '\\n' >> '" + log() + "'\n" + extra);
    chmod(path.c_str(), 0755);
  }

  std::string log() const { return root_ / "log"; }

  Commands Logged() const {
    Commands runs;
    const std::string text = ReadText(log());
    size_t start = 0;
    while (start < text.size()) {
      size_t nl = text.find('\n', start);
      std::vector<std::string> args;
      size_t at = start;
      while (at < nl) {
        size_t sep = text.find('\x1f', at);
        args.push_back(text.substr(at, sep - at));
        at = sep + 1;
      }
      runs.push_back(args);
      start = nl + 1;
    }
    return runs;
  }

  std::string Saver(const std::string& name) const { return root_ / ("savers/" + name); }

  static BlendBitmap Picture() {
    BlendBitmap b(2, 1);
    b.SetPixel(0, 0, MakePixel(10, 20, 30, 0));
    b.SetPixel(1, 0, MakePixel(200, 100, 50, 255));
    return b;
  }

  ScratchFolder root_;
  ScopedEnv env_;
};

// Catches a path split at its blank or broken at its quote (a shell in the way), a wrong
// schema or key, a path where GNOME wants an address, and tiling left on.
TEST_F(WallpaperTest, GnomeGetsTheAddressAndCentredPlacement) {
  FakeProgram("gsettings");
  env_.Set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
  const std::string saver = Saver("My Sea's.scr");
  auto done = SetWallpaper(Picture(), saver);
  ASSERT_TRUE(done.ok()) << done.error().message;
  const std::string file = saver + ".bmp";
  const std::string uri = "file://" + root_.path() + "/savers/My%20Sea%27s.scr.bmp";
  EXPECT_EQ(done->file, file);
  EXPECT_EQ(done->setter, WallpaperSetter::Gnome);
  EXPECT_TRUE(done->applied);
  const Commands want = {
      {"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri},
      {"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", uri},
      {"gsettings", "set", "org.gnome.desktop.background", "picture-options", "centered"}};
  EXPECT_EQ(Logged(), want);
  EXPECT_EQ(done->commands, want);
}

// Catches the GNOME schema used on Cinnamon.
TEST_F(WallpaperTest, CinnamonUsesItsOwnSchema) {
  FakeProgram("gsettings");
  env_.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_TRUE(done.ok());
  const std::string uri = "file://" + root_.path() + "/savers/Sea.scr.bmp";
  EXPECT_EQ(
      Logged(),
      (Commands{
          {"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", uri},
          {"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri-dark", uri},
          {"gsettings", "set", "org.cinnamon.desktop.background", "picture-options", "centered"}}));
}

// Catches an address handed to MATE, which wants the plain path.
TEST_F(WallpaperTest, MateGetsThePlainPath) {
  FakeProgram("gsettings");
  env_.Set("XDG_CURRENT_DESKTOP", "MATE");
  const std::string saver = Saver("a b\"c.scr");
  auto done = SetWallpaper(Picture(), saver);
  ASSERT_TRUE(done.ok());
  EXPECT_EQ(
      Logged(),
      (Commands{{"gsettings", "set", "org.mate.background", "picture-filename", saver + ".bmp"},
                {"gsettings", "set", "org.mate.background", "picture-options", "centered"}}));
}

// Catches a monitor left out, a property outside /backdrop/ changed, and a missing
// image-style set without being created.
TEST_F(WallpaperTest, XfceSetsEveryBackdropImage) {
  FakeProgram("xfconf-query",
              "if [ \"$3\" = -l ]; then\n"
              "  echo /backdrop/screen0/monitor0/workspace0/color-style\n"
              "  echo /backdrop/screen0/monitor0/workspace0/image-style\n"
              "  echo /backdrop/screen0/monitor0/workspace0/last-image\n"
              "  echo /backdrop/screen0/monitorVGA-1/workspace0/last-image\n"
              "  echo /desktop-icons/last-image\n"
              "fi\n");
  env_.Set("XDG_CURRENT_DESKTOP", "XFCE");
  const std::string saver = Saver("Sea 2.scr");
  auto done = SetWallpaper(Picture(), saver);
  ASSERT_TRUE(done.ok());
  EXPECT_TRUE(done->applied);
  const std::string file = saver + ".bmp";
  const std::string m0 = "/backdrop/screen0/monitor0/workspace0/";
  const std::string vga = "/backdrop/screen0/monitorVGA-1/workspace0/";
  EXPECT_EQ(Logged(),
            (Commands{{"xfconf-query", "-c", "xfce4-desktop", "-l"},
                      {"xfconf-query", "-c", "xfce4-desktop", "-p", m0 + "last-image", "-s", file},
                      {"xfconf-query", "-c", "xfce4-desktop", "-p", m0 + "image-style", "-s", "1"},
                      {"xfconf-query", "-c", "xfce4-desktop", "-p", vga + "last-image", "-s", file},
                      {"xfconf-query", "-c", "xfce4-desktop", "-p", vga + "image-style", "-n", "-t",
                       "int", "-s", "1"}}));
}

// Catches the wrong fill mode (tiled or scaled instead of centred on a padded background).
TEST_F(WallpaperTest, PlasmaPadsTheCentredPicture) {
  FakeProgram("plasma-apply-wallpaperimage");
  env_.Set("XDG_CURRENT_DESKTOP", "KDE");
  const std::string saver = Saver("Sea.scr");
  ASSERT_TRUE(SetWallpaper(Picture(), saver).ok());
  EXPECT_EQ(Logged(),
            (Commands{{"plasma-apply-wallpaperimage", "--fill-mode", "pad", saver + ".bmp"}}));
}

// Catches the plain window-manager tools not tried, or tried in the wrong order.
TEST_F(WallpaperTest, WithoutADesktopFehThenXwallpaper) {
  FakeProgram("xwallpaper");
  const std::string saver = Saver("Sea.scr");
  auto only = SetWallpaper(Picture(), saver);
  ASSERT_TRUE(only.ok());
  EXPECT_EQ(only->setter, WallpaperSetter::Xwallpaper);
  FakeProgram("feh");
  auto both = SetWallpaper(Picture(), saver);
  ASSERT_TRUE(both.ok());
  EXPECT_EQ(both->setter, WallpaperSetter::Feh);
  EXPECT_EQ(Logged(), (Commands{{"xwallpaper", "--center", saver + ".bmp"},
                                {"feh", "--bg-center", saver + ".bmp"}}));
}

// Catches the file not written when nothing can show it, and a failure reported as success.
TEST_F(WallpaperTest, NoDesktopStillWritesTheFile) {
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_TRUE(done.ok());
  EXPECT_EQ(done->setter, WallpaperSetter::None);
  EXPECT_FALSE(done->applied);
  EXPECT_TRUE(done->commands.empty());
  EXPECT_TRUE(std::filesystem::exists(Saver("Sea.scr.bmp")));
}

// Catches a refusing desktop program reported as done.
TEST_F(WallpaperTest, AFailingProgramIsNotApplied) {
  FakeProgram("gsettings", "exit 1\n");
  env_.Set("XDG_CURRENT_DESKTOP", "GNOME");
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_TRUE(done.ok());
  EXPECT_FALSE(done->applied);
  EXPECT_EQ(done->commands.size(), 3u);
}

// Catches transparent pixels reaching the file, rows flipped, and a header of another size.
TEST_F(WallpaperTest, TheFileIsA32BitBitmapOfThePicture) {
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_TRUE(done.ok());
  const std::string bytes = ReadText(done->file);
  EXPECT_EQ(bytes.size(), 54u + 2 * 4);
  auto back = LoadBmpFile(done->file);
  ASSERT_TRUE(back.ok());
  ASSERT_EQ(back->Width(), 2);
  ASSERT_EQ(back->Height(), 1);
  EXPECT_EQ(back->GetPixel(0, 0), MakePixel(10, 20, 30, 255));
  EXPECT_EQ(back->GetPixel(1, 0), MakePixel(200, 100, 50, 255));
}

// Catches a second picture appended to, or written beside, the first one's file.
TEST_F(WallpaperTest, ASecondPictureRewritesTheSameFile) {
  ASSERT_TRUE(SetWallpaper(Picture(), Saver("Sea.scr")).ok());
  BottomUpBitmap device(1, 1);
  device.SetPixel(0, 0, MakePixel(1, 2, 3, 0));
  auto second = SetWallpaper(device, Saver("Sea.scr"));
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(second->file, Saver("Sea.scr.bmp"));
  auto back = LoadBmpFile(second->file);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back->Width(), 1);
  EXPECT_EQ(back->GetPixel(0, 0), MakePixel(1, 2, 3, 255));
}

// Catches a saver folder that takes no files ending the action instead of using the data
// folder, and the data folder not created.
TEST_F(WallpaperTest, AnUnwritableSaverFolderFallsBackToTheDataFolder) {
  FakeProgram("feh");
  test::ReadOnlyFolder readOnly(root_ / "savers");
  if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_TRUE(done.ok()) << done.error().message;
  EXPECT_EQ(done->file, root_ / "data/vecsaver/Sea.scr.bmp");
  EXPECT_TRUE(std::filesystem::exists(done->file));
  EXPECT_EQ(Logged(), (Commands{{"feh", "--bg-center", root_ / "data/vecsaver/Sea.scr.bmp"}}));
}

// A saver in another user's folder (as an installed saver lies in root's) gets no wallpaper
// beside it even where this user could write: the bitmap goes to this user's data folder.
// Catches one user's wallpaper left in a folder every user's saver reads.
TEST_F(WallpaperTest, AFolderOfAnotherUserTakesNoWallpaper) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  FakeProgram("feh");
  ASSERT_EQ(chown((root_ / "savers").c_str(), 1, 1), 0);
  auto done = SetWallpaper(Picture(), Saver("Sea.scr"));
  ASSERT_EQ(chown((root_ / "savers").c_str(), 0, 0), 0);
  ASSERT_TRUE(done.ok()) << done.error().message;
  EXPECT_EQ(done->file, root_ / "data/vecsaver/Sea.scr.bmp");
  EXPECT_FALSE(std::filesystem::exists(Saver("Sea.scr.bmp")));
}

// Catches $HOME/.local/share not used when $XDG_DATA_HOME is unset.
TEST_F(WallpaperTest, TheDataFolderDefaultsUnderHome) {
  env_.Set("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(WallpaperFallbackPath("/opt/s/Sea.scr"),
            root_ / "home/.local/share/vecsaver/Sea.scr.bmp");
}

// Catches an empty picture written as a bitmap no desktop can show.
TEST_F(WallpaperTest, AnEmptyPictureIsAnError) {
  auto done = SetWallpaper(BlendBitmap(), Saver("Sea.scr"));
  EXPECT_FALSE(done.ok());
  EXPECT_FALSE(std::filesystem::exists(Saver("Sea.scr.bmp")));
}

struct DesktopRow {
  const char* desktop;
  WallpaperSetter setter;
};

// Catches only the first entry of the list looked at, and a case-sensitive match.
TEST(DesktopSetter, FirstKnownEntryOfTheList) {
  const DesktopRow rows[] = {
      {"GNOME", WallpaperSetter::Gnome},
      {"ubuntu:GNOME", WallpaperSetter::Gnome},
      {"Budgie:GNOME", WallpaperSetter::Gnome},
      {"X-Cinnamon", WallpaperSetter::Cinnamon},
      {"MATE", WallpaperSetter::Mate},
      {"XFCE", WallpaperSetter::Xfce},
      {"xfce", WallpaperSetter::Xfce},
      {"KDE", WallpaperSetter::Plasma},
      {"", WallpaperSetter::None},
      {"i3", WallpaperSetter::None},
      {"sway:wlroots", WallpaperSetter::None},
      {"MATE:GNOME", WallpaperSetter::Mate},
  };
  for (const DesktopRow& r : rows) EXPECT_EQ(DesktopSetter(r.desktop), r.setter) << r.desktop;
}

// Catches blanks, quotes, percent signs or non-ASCII bytes left raw in the address.
TEST(FileUri, EscapesEverythingButPlainCharacters) {
  EXPECT_EQ(FileUri("/tmp/My Sea's.scr.bmp"), "file:///tmp/My%20Sea%27s.scr.bmp");
  EXPECT_EQ(FileUri("/a/100%~_-.bmp"), "file:///a/100%25~_-.bmp");
  EXPECT_EQ(FileUri("/\xC3\xA9#?"), "file:///%C3%A9%23%3F");
}

}  // namespace
}  // namespace vec
