// The Settings dialog's values: the access rule, reading over the saver's defaults,
// writing in order into the user file while keeping the rest of it, and the copy into the
// saver's settings.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Ini.h"
#include "configui/SettingsAccess.h"
#include "tests/configui/settings/TestFolders.h"

namespace vec {
namespace {

using test::ReadText;
using test::ScratchFolder;
using test::WriteText;

struct AccessRow {
  const char* ownPath;
  const char* firstArgument;
  bool allowed;
};

// Catches a case-sensitive extension test, a prefix match on "/c:1234", a folder name taken
// for the file's extension, and "-c" taken for "/C".
TEST(SettingsAccess, AllowedForScrFilesOrTheConfigureArgument) {
  const AccessRow rows[] = {
      {"/s/Sea.scr", "", true},   {"/s/Sea.SCR", "/s", true},  {"/s/Sea.Scr", "/p", true},
      {"/s/Sea.exe", "/C", true}, {"/s/Sea.exe", "/c", true},  {"/s/Sea.exe", "/c:1234", false},
      {"/s/Sea.exe", "", false},  {"/s/Sea.exe", "-c", false}, {"/s/Sea.scrx", "", false},
      {"/s.scr/Sea", "", false},  {"/s/scr", "", false},       {"/s/Sea.exe", " /c", false},
  };
  for (const AccessRow& r : rows)
    EXPECT_EQ(SettingsAccessAllowed(r.ownPath, r.firstArgument), r.allowed)
        << r.ownPath << " " << r.firstArgument;
}

struct SizeRow {
  bool stretch, proportional;
  int32_t imageSize;
};

// Catches the picture-size list index built from the flags the wrong way round.
TEST(DialogDefaults, ImageSizeFromStretchAndProportional) {
  const SizeRow rows[] = {{true, true, 2}, {true, false, 1}, {false, false, 0}, {false, true, 0}};
  for (const SizeRow& r : rows) {
    ShowSettings settings;
    settings.Stretch = r.stretch;
    settings.Proportional = r.proportional;
    EXPECT_EQ(DialogDefaults(settings).ImageSize, r.imageSize) << r.stretch << r.proportional;
  }
}

// Catches the speed percentage used as the track bar index, an off-by-one in the index, and
// a speed between table values showing nowhere.
TEST(DialogDefaults, SpeedIndexOfTheSaverSpeed) {
  const std::pair<int32_t, int32_t> rows[] = {{100, 10}, {10, 0},   {500, 20}, {45, 3},
                                              {65, 5},   {62, 5},   {68, 6},   {1000, 20},
                                              {0, 0},    {300, 17}, {301, 18}};
  for (auto [speed, index] : rows) {
    ShowSettings settings;
    settings.Speed = speed;
    EXPECT_EQ(DialogDefaults(settings).SpeedIndex, index) << speed;
  }
}

// Catches a default taken from the wrong settings field, and custom music or shuffle copied
// from the saver's settings instead of fixed.
TEST(DialogDefaults, OtherValuesFromTheSaverSettings) {
  ShowSettings settings;
  settings.ShowImageMode = 2;
  settings.Sound = false;
  settings.Music = false;
  settings.Transition = false;
  settings.Duration = 77;
  settings.DirectX = true;
  settings.DirectXQuality = 2;
  settings.MusicFile = "/m/x.mp3";
  settings.MusicMode = 1;
  DialogSettings d = DialogDefaults(settings);
  EXPECT_EQ(d.ImageMode, 2);
  EXPECT_FALSE(d.Sound);
  EXPECT_FALSE(d.Music);
  EXPECT_FALSE(d.Transition);
  EXPECT_EQ(d.Duration, 77);
  EXPECT_TRUE(d.DirectX);
  EXPECT_EQ(d.DirectXQuality, 2);
  EXPECT_FALSE(d.CustomMusic);
  EXPECT_TRUE(d.ShuffleMusic);
  EXPECT_TRUE(d.MusicList.empty());
}

// Catches a key read into the wrong value and the music list read from the wrong section
// or out of order.
TEST(ReadDialogSettings, EveryKeyOverTheDefaults) {
  IniDocument user = IniDocument::FromText(
      "[Setting]\nImageSize=0\nImageMode=3\nSpeed=4\nSound=0\nMusic=0\nTransition=0\n"
      "Duration=120\nDirectX=1\nDirectXQuality=2\nCustomMusic=1\nShuffleMusic=0\nIndex=9\n"
      "[MusicList]\n/m/b.mp3=\n/m/a.ogg=\n[Files]\n3=\n");
  DialogSettings d = DialogDefaults(ShowSettings{});
  ReadDialogSettings(user, d);
  DialogSettings want;
  want.ImageSize = 0;
  want.ImageMode = 3;
  want.SpeedIndex = 4;
  want.Sound = false;
  want.Music = false;
  want.Transition = false;
  want.Duration = 120;
  want.DirectX = true;
  want.DirectXQuality = 2;
  want.CustomMusic = true;
  want.ShuffleMusic = false;
  want.MusicList = {"/m/b.mp3", "/m/a.ogg"};
  EXPECT_EQ(d, want);
}

// Values outside the lists reach the dialog as read (its controls show them as they can);
// a duration that is no number keeps the default. Catches a reader that drops or clamps them.
TEST(ReadDialogSettings, ValuesOutsideTheirListsAreReadAsTheyStand) {
  IniDocument user = IniDocument::FromText(
      "[Setting]\nImageSize=3\nImageMode=-1\nSpeed=21\nDirectXQuality=7\nDuration=abc\n");
  ShowSettings settings;
  settings.Speed = 140;
  settings.ShowImageMode = 1;
  settings.DirectXQuality = 1;
  DialogSettings d = DialogDefaults(settings);
  ReadDialogSettings(user, d);
  EXPECT_EQ(d.ImageSize, 3);
  EXPECT_EQ(d.ImageMode, -1);
  EXPECT_EQ(d.SpeedIndex, 21);
  EXPECT_EQ(d.DirectXQuality, 7);
  EXPECT_EQ(d.Duration, 30);
}

// Catches a file read although access is denied, and a missing file taken as an error.
TEST(ReadDialogSettings, FromTheFileOnlyWhenAllowed) {
  ScratchFolder dir;
  WriteText(dir / "Sea.ini", "[Setting]\nDuration=99\nSpeed=0\n");
  ShowSettings settings;
  DialogSettingsRead denied = ReadDialogSettings(settings, {false, {dir / "Sea.ini", ""}});
  EXPECT_FALSE(denied.allowed);
  EXPECT_EQ(denied.values, DialogDefaults(settings));

  DialogSettingsRead allowed = ReadDialogSettings(settings, {true, {dir / "Sea.ini", ""}});
  EXPECT_TRUE(allowed.allowed);
  EXPECT_EQ(allowed.values.Duration, 99);
  EXPECT_EQ(allowed.values.SpeedIndex, 0);

  DialogSettingsRead missing = ReadDialogSettings(settings, {true, {dir / "None.ini", ""}});
  EXPECT_TRUE(missing.allowed);
  EXPECT_EQ(missing.values, DialogDefaults(settings));
}

DialogSettings Chosen() {
  DialogSettings d;
  d.ImageSize = 2;
  d.ImageMode = 3;
  d.SpeedIndex = 7;
  d.Sound = false;
  d.Music = true;
  d.Transition = false;
  d.Duration = 45;
  d.DirectX = true;
  d.DirectXQuality = 2;
  d.CustomMusic = true;
  d.ShuffleMusic = false;
  d.MusicList = {"/m/a.mp3", "/m/b.ogg"};
  return d;
}

// Catches keys written in the wrong order, a speed written as a percentage, Booleans
// written as "true", and the music list written with values.
TEST(WriteDialogSettings, KeysInTheStatedOrderIntoANewDocument) {
  IniDocument user;
  WriteDialogSettings(Chosen(), user);
  EXPECT_EQ(user.ToText(),
            "[Setting]\r\nImageSize=2\r\nImageMode=3\r\nSpeed=7\r\nSound=0\r\nMusic=1\r\n"
            "Transition=0\r\nDuration=45\r\nDirectX=1\r\nDirectXQuality=2\r\nCustomMusic=1\r\n"
            "ShuffleMusic=0\r\n[MusicList]\r\n/m/a.mp3=\r\n/m/b.ogg=\r\n");
}

// Catches old music entries surviving, a path added twice written twice, two files whose
// names differ only in case merged into one, and a path that would break the file written.
TEST(WriteDialogSettings, MusicListRewrittenOncePerPath) {
  IniDocument user =
      IniDocument::FromText("[MusicList]\n/old/one.mp3=\n/old/two.mp3=\n[Files]\n2=\n");
  DialogSettings d = Chosen();
  d.MusicList = {"/m/a.mp3",   "/m/b.ogg",          "/m/a.mp3", "/m/A.mp3",
                 "/m/x=y.mp3", "/m/new\n[Setting]", ""};
  WriteDialogSettings(d, user);
  EXPECT_EQ(user.SectionKeys("MusicList"),
            (std::vector<std::string>{"/m/a.mp3", "/m/b.ogg", "/m/A.mp3"}));
  EXPECT_EQ(user.SectionKeys("Files"), std::vector<std::string>{"2"});
}

// Catches an emptied list leaving the old entries in the file.
TEST(WriteDialogSettings, AnEmptyListRemovesTheSection) {
  IniDocument user = IniDocument::FromText("[MusicList]\n/old/one.mp3=\n");
  DialogSettings d = Chosen();
  d.MusicList.clear();
  WriteDialogSettings(d, user);
  EXPECT_FALSE(user.HasSection("MusicList"));
}

struct StorableRow {
  const char* path;
  bool storable;
};

// Catches a path accepted that would read back as another path or split the file.
TEST(IsStorableMusicPath, RefusesWhatTheFileCannotHold) {
  const StorableRow rows[] = {
      {"/m/a b's.mp3", true}, {"/m/ü.ogg", true},   {"", false},          {"/m/a=b.mp3", false},
      {"/m/a\nb", false},     {"/m/a\rb", false},   {";m.mp3", false},    {"[m].mp3", false},
      {" /m/a.mp3", false},   {"/m/a.mp3 ", false}, {"/m/[a].mp3", true}, {"/m/;a.mp3", true},
  };
  for (const StorableRow& r : rows) EXPECT_EQ(IsStorableMusicPath(r.path), r.storable) << r.path;
}

// Catches a lost section of the user's file, a comment dropped, a rewritten line moved,
// and line endings changed.
TEST(WriteDialogSettings, KeepsTheRestOfAnExistingFile) {
  ScratchFolder dir;
  const std::string path = dir / "Sea.ini";
  WriteText(path,
            "; written by hand\n"
            "[Other]\n"
            "  Colour  =  blue  \n"
            "\n"
            "[setting]\n"
            "Index = 4\n"
            "  Duration =  10 \n"
            "; keep me\n"
            "Unknown=x\n"
            "\n"
            "[MusicList]\n"
            "/old.mp3=\n"
            "[Files]\n"
            "1=\n");
  DialogSettings d = Chosen();
  d.MusicList = {"/m/a.mp3"};
  ASSERT_TRUE(WriteDialogSettings(d, {true, {path, ""}}).ok());
  EXPECT_EQ(ReadText(path),
            "; written by hand\n"
            "[Other]\n"
            "  Colour  =  blue  \n"
            "\n"
            "[setting]\n"
            "Index = 4\n"
            "Duration=45\n"
            "; keep me\n"
            "Unknown=x\n"
            "ImageSize=2\n"
            "ImageMode=3\n"
            "Speed=7\n"
            "Sound=0\n"
            "Music=1\n"
            "Transition=0\n"
            "DirectX=1\n"
            "DirectXQuality=2\n"
            "CustomMusic=1\n"
            "ShuffleMusic=0\n"
            "\n"
            "[Files]\n"
            "1=\n"
            "[MusicList]\n"
            "/m/a.mp3=\n");
}

// Catches a file written although access is denied.
TEST(WriteDialogSettings, NothingWrittenWithoutAccess) {
  ScratchFolder dir;
  ASSERT_TRUE(WriteDialogSettings(Chosen(), {false, {dir / "Sea.ini", ""}}).ok());
  EXPECT_FALSE(std::filesystem::exists(dir / "Sea.ini"));
}

// Catches the writer giving up on a file that does not exist yet.
TEST(WriteDialogSettings, CreatesAMissingFileThatReadsBack) {
  ScratchFolder dir;
  const SettingsAccess access{true, {dir / "Sea.ini", ""}};
  ASSERT_TRUE(WriteDialogSettings(Chosen(), access).ok());
  EXPECT_EQ(ReadDialogSettings(ShowSettings{}, access).values, Chosen());
}

// A new account has no configuration folder for the file yet. Catches the write failing
// because the folders above the file are missing.
TEST(WriteDialogSettings, MakesTheConfigurationFolderOfANewAccount) {
  ScratchFolder dir;
  const SettingsAccess access{true, {dir / "home/.config/vecsaver/Sea.ini", ""}};
  ASSERT_TRUE(WriteDialogSettings(Chosen(), access).ok());
  EXPECT_EQ(ReadDialogSettings(ShowSettings{}, access).values, Chosen());
}

// Catches a half-written or truncated user file when the folder refuses the write.
TEST(WriteDialogSettings, AReadOnlyFolderLeavesTheFileAndReports) {
  ScratchFolder dir;
  const std::string path = dir / "Sea.ini";
  const std::string old = "[Setting]\r\nDuration=60\r\n[Files]\r\n0=\r\n";
  WriteText(path, old);
  Status written;
  {
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    written = WriteDialogSettings(Chosen(), {true, {path, ""}});
  }
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.error().message.find("Sea.ini"), std::string::npos);
  EXPECT_EQ(ReadText(path), old);
}

// Catches an unreadable file replaced by one holding only the dialog's keys.
TEST(WriteDialogSettings, AFileThatCannotBeReadIsNotReplaced) {
  ScratchFolder dir;
  const std::string path = dir / "Sea.ini";
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  Status written = WriteDialogSettings(Chosen(), {true, {path, ""}});
  EXPECT_FALSE(written.ok());
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

struct ApplyRow {
  int32_t imageSize;
  bool stretch, proportional;
};

// Catches Stretch and Proportional derived the wrong way from the picture size.
TEST(ApplyDialogSettings, PictureSizeFlags) {
  const ApplyRow rows[] = {{0, false, false}, {1, true, false}, {2, true, true}};
  for (const ApplyRow& r : rows) {
    ShowSettings settings;
    settings.Stretch = !r.stretch;
    settings.Proportional = !r.proportional;
    DialogSettings d;
    d.ImageSize = r.imageSize;
    ApplyDialogSettings(d, settings);
    EXPECT_EQ(settings.Stretch, r.stretch) << r.imageSize;
    EXPECT_EQ(settings.Proportional, r.proportional) << r.imageSize;
  }
}

// Catches the speed index stored as the speed, an off-by-one into the table, the display
// choice or the music list copied, and an index past the table read out of bounds.
TEST(ApplyDialogSettings, CopiesTheShownChoicesOnly) {
  ShowSettings settings;
  settings.DirectX = false;
  settings.DirectXQuality = 0;
  settings.MusicFile = "/pkg/song.mp3";
  settings.MusicMode = 0;
  DialogSettings d = Chosen();
  ApplyDialogSettings(d, settings);
  EXPECT_EQ(settings.ShowImageMode, 3);
  EXPECT_EQ(settings.Duration, 45);
  EXPECT_FALSE(settings.Sound);
  EXPECT_TRUE(settings.Music);
  EXPECT_FALSE(settings.Transition);
  EXPECT_EQ(settings.Speed, 75);
  EXPECT_FALSE(settings.DirectX);
  EXPECT_EQ(settings.DirectXQuality, 0);
  EXPECT_EQ(settings.MusicFile, "/pkg/song.mp3");
  EXPECT_EQ(settings.MusicMode, 0);

  const std::pair<int32_t, int32_t> speeds[] = {
      {0, 10}, {20, 500}, {18, 360}, {21, 140}, {-1, 140}};
  for (auto [index, speed] : speeds) {
    ShowSettings p;
    p.Speed = 140;
    DialogSettings s;
    s.SpeedIndex = index;
    ApplyDialogSettings(s, p);
    EXPECT_EQ(p.Speed, speed) << index;
  }
}

}  // namespace
}  // namespace vec
