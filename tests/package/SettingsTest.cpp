#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <vector>

#include "base/Ini.h"
#include "package/FileSearch.h"
#include "package/FileUtil.h"
#include "package/Folders.h"
#include "package/SaverSettings.h"
#include "package/UserSettings.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;

const SettingKey& KeyNamed(std::string_view name) {
  for (const auto& k : ShowSettings::Keys())
    if (k.key == name) return k;
  throw std::runtime_error("no key " + std::string(name));
}

TEST(ShowSettings, KeysInLoadOrder) {
  auto keys = ShowSettings::Keys();
  ASSERT_EQ(keys.size(), 30u);
  EXPECT_EQ(keys.front().key, "ProductName");
  EXPECT_EQ(keys[3].key, "Stretch");
  EXPECT_EQ(keys[21].section, "Advance");
  EXPECT_EQ(keys[21].key, "MusicFile");
  EXPECT_EQ(keys.back().key, "CustomIcon");
  EXPECT_EQ(keys.back().section, "Build");
}

TEST(ShowSettings, DefaultEffectListNamesAll169) {
  ShowSettings s;
  EXPECT_EQ(s.TransitionEffects.substr(0, 6), "1,2,3,");
  EXPECT_EQ(s.TransitionEffects.substr(s.TransitionEffects.size() - 8), ",168,169");
  EXPECT_EQ(std::count(s.TransitionEffects.begin(), s.TransitionEffects.end(), ','), 168);
}

struct LoadCase {
  const char* name;
  const char* text;
  std::map<std::string, SettingValue> expected;
};

class SettingLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(SettingLoadTest, ValuesOrTheirDefaults) {
  ShowSettings s;
  s.LoadFromText(GetParam().text);
  for (const auto& [key, value] : GetParam().expected)
    EXPECT_EQ(s.Get(KeyNamed(key)), value) << key;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingLoadTest,
    ::testing::Values(LoadCase{"NoDefaultSection",
                               "[General]\r\nProductName=Sea\r\n",
                               {{"ProductName", std::string("Sea")},
                                {"Duration", 30},
                                {"TransitionTime", 2000},
                                {"TransitionEffects", DefaultTransitionEffects()},
                                {"Stretch", true},
                                {"Music", true},
                                {"BuildMethod", 2}}},
                      LoadCase{"NotANumberKeepsTheDefault",
                               "[Default]\r\nStretch=yes\r\nDuration=12s\r\nSpeed= 150 \r\n",
                               {{"Stretch", true}, {"Duration", 30}, {"Speed", 150}}},
                      LoadCase{"BooleansAreNonZeroIntegers",
                               "[Default]\r\nStretch=0\r\nProportional=-3\r\nDirectX=1\r\n",
                               {{"Stretch", false}, {"Proportional", true}, {"DirectX", true}}},
                      LoadCase{"CaseBlindFirstMatchWins",
                               "[default]\r\nduration=7\r\nDuration=8\r\n[DEFAULT]\r\nSound=0\r\n",
                               {{"Duration", 7}, {"Sound", true}}},
                      LoadCase{"TextsAsTheyStand",
                               "[Advance]\r\nMusicFile=a.mp3;b.mid\r\nPreviewFile=C:\\p.jpg\r\n"
                               "[Default]\r\nTransitionEffects=\r\n",
                               {{"MusicFile", std::string("a.mp3;b.mid")},
                                {"PreviewFile", std::string("C:\\p.jpg")},
                                {"TransitionEffects", std::string("")}}},
                      LoadCase{"EmptyText", "", {{"ShowImageMode", 0}, {"DirectXQuality", 0}}}),
    [](const auto& info) { return info.param.name; });

TEST(ShowSettings, MissingKeysKeepCurrentValuesExceptTheLoaderDefaults) {
  ShowSettings s;
  s.Duration = 99;
  s.Music = false;
  s.BuildSmallThumbs = false;
  s.CustomIcon = true;
  s.LoadFromText("[Other]\r\nx=1\r\n");
  EXPECT_EQ(s.Duration, 99);
  EXPECT_FALSE(s.Music);
  EXPECT_TRUE(s.BuildSmallThumbs);
  EXPECT_FALSE(s.CustomIcon);
}

TEST(ShowSettings, SetAndGetByKey) {
  ShowSettings s;
  s.Set(KeyNamed("Duration"), int32_t{44});
  s.Set(KeyNamed("Duration"), std::string("wrong type is ignored"));
  s.Set(KeyNamed("Publisher"), std::string("P"));
  EXPECT_EQ(s.Duration, 44);
  EXPECT_EQ(s.Publisher, "P");
}

TEST(PictureList, KeysInFileOrderWithCheckedFlags) {
  PictureList list;
  list.LoadFromText(
      "[FileListHeader]\r\nHeader=x\r\n[FileList]\r\nVEImage0.vep=0\r\nB.jpg=1\r\nC.gif=abc\r\n"
      "D.bmp=\r\nE.jpg=-2\r\n");
  EXPECT_EQ(list.FileNames,
            (std::vector<std::string>{"VEImage0.vep", "B.jpg", "C.gif", "D.bmp", "E.jpg"}));
  EXPECT_EQ(list.Checked, (std::vector<std::string>{"FALSE", "TRUE", "FALSE", "FALSE", "TRUE"}));
  list.CheckAll();
  EXPECT_EQ(list.Checked, std::vector<std::string>(5, "TRUE"));
  // A name listed twice in other cases takes the first one's flag, as a read of it does.
  list.LoadFromText("[FileList]\r\nA.jpg=0\r\na.JPG=1\r\nb.jpg\r\nB.jpg=1\r\n");
  EXPECT_EQ(list.FileNames, (std::vector<std::string>{"A.jpg", "a.JPG", "b.jpg", "B.jpg"}));
  EXPECT_EQ(list.Checked, (std::vector<std::string>{"FALSE", "FALSE", "TRUE", "TRUE"}));
  list.LoadFromText("");
  EXPECT_TRUE(list.FileNames.empty());
  EXPECT_TRUE(list.Checked.empty());
}

TEST(UiSettings, ReadsUIFile) {
  UiSettings ui;
  ui.LoadFromText("[UI]\r\nUIFile=C:\\a\\VEGUI.veu\r\n");
  EXPECT_EQ(ui.UIFile, "C:\\a\\VEGUI.veu");
}

// ---- user settings ----------------------------------------------------------------------

SaverSettings FivePictures() {
  SaverSettings p;
  for (int i = 0; i < 5; ++i) p.FileList.FileNames.push_back("/run/p" + std::to_string(i));
  p.FileList.CheckAll();
  p.Setting.Stretch = true;
  p.Setting.Proportional = false;
  p.Setting.DirectX = false;
  p.Setting.DirectXQuality = 0;
  p.Setting.MusicFile = "package.mp3";
  return p;
}

struct UserCase {
  const char* name;
  const char* ini;
  std::vector<bool> checked;
  std::map<std::string, SettingValue> expected;
};

class ApplyUserSettingsTest : public ::testing::TestWithParam<UserCase> {};

TEST_P(ApplyUserSettingsTest, LaysTheFileOverTheSaverSettings) {
  SaverSettings p = FivePictures();
  ApplyUserSettings(p, IniDocument::FromText(GetParam().ini));
  std::vector<bool> checked;
  for (const auto& c : p.FileList.Checked) checked.push_back(c == "TRUE");
  EXPECT_EQ(checked, GetParam().checked);
  for (const auto& [key, value] : GetParam().expected)
    EXPECT_EQ(p.Setting.Get(KeyNamed(key)), value) << key;
}

const std::vector<bool> kAll(5, true);

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyUserSettingsTest,
    ::testing::Values(
        UserCase{"FavouritesWithoutFilesShowsAll",
                 "[Setting]\r\nImageMode=2\r\n",
                 kAll,
                 {{"ShowImageMode", 2}}},
        UserCase{"SpeedIndexTen", "[Setting]\r\nSpeed=10\r\n", kAll, {{"Speed", 100}}},
        UserCase{"SpeedIndexTwenty", "[Setting]\r\nSpeed=20\r\n", kAll, {{"Speed", 500}}},
        UserCase{"SpeedIndexZero", "[Setting]\r\nSpeed=0\r\n", kAll, {{"Speed", 10}}},
        UserCase{"SpeedOutOfTableKeeps", "[Setting]\r\nSpeed=21\r\n", kAll, {{"Speed", 100}}},
        UserCase{"OriginalSize",
                 "[Setting]\r\nImageSize=0\r\n",
                 kAll,
                 {{"Stretch", false}, {"Proportional", false}}},
        UserCase{"StretchFull",
                 "[Setting]\r\nImageSize=1\r\n",
                 kAll,
                 {{"Stretch", true}, {"Proportional", false}}},
        UserCase{"StretchProportional",
                 "[Setting]\r\nImageSize=2\r\n",
                 kAll,
                 {{"Stretch", true}, {"Proportional", true}}},
        // A file written only by the configuration window keeps the package's display (off
        // here, quality 0) rather than an 800 x 600 surface nobody chose.
        UserCase{"NoDisplayKeysKeepThePackagesDisplay",
                 "[Setting]\r\nDuration=15\r\nIndex=1\r\n",
                 kAll,
                 {{"DirectX", false}, {"DirectXQuality", 0}, {"Duration", 15}}},
        UserCase{"DisplayKeysWin",
                 "[Setting]\r\nDirectX=1\r\nDirectXQuality=2\r\n",
                 kAll,
                 {{"DirectX", true}, {"DirectXQuality", 2}}},
        UserCase{"DisplayOnWithoutQualityKeepsThePackagesQuality",
                 "[Setting]\r\nDirectX=1\r\n",
                 kAll,
                 {{"DirectX", true}, {"DirectXQuality", 0}}},
        UserCase{"ReadersDefaultsAreTheProjects",
                 "[Setting]\r\n",
                 kAll,
                 {{"ShowImageMode", 0},
                  {"Duration", 30},
                  {"Sound", true},
                  {"Music", true},
                  {"Transition", true},
                  {"MusicFile", std::string("package.mp3")}}},
        UserCase{"SingleIndexBeyondListShowsFirst",
                 "[Setting]\r\nImageMode=3\r\nIndex=7\r\n",
                 {true, false, false, false, false},
                 {{"ShowImageMode", 3}}},
        UserCase{"SingleSelected",
                 "[Setting]\r\nImageMode=3\r\nIndex=2\r\n",
                 {false, false, true, false, false},
                 {}},
        UserCase{"SingleNegativeIndexShowsFirst",
                 "[Setting]\r\nImageMode=3\r\nIndex=-4\r\n",
                 {true, false, false, false, false},
                 {}},
        UserCase{"FavouritesUncheckListedPictures",
                 "[Setting]\r\nImageMode=2\r\n[Files]\r\n1=\r\n3=\r\nx=\r\n99=\r\n-1=\r\n+2=\r\n",
                 {true, false, true, false, true},
                 {}},
        UserCase{"FavouritesAllListed",
                 "[Setting]\r\nImageMode=2\r\n[Files]\r\n0=\r\n1=\r\n2=\r\n3=\r\n4=\r\n",
                 {false, false, false, false, false},
                 {}},
        UserCase{"FilesIgnoredInSequence",
                 "[Setting]\r\nImageMode=1\r\nIndex=3\r\n[Files]\r\n0=\r\n",
                 kAll,
                 {{"ShowImageMode", 1}}},
        UserCase{"CustomMusicEmptyListMeansNoMusic",
                 "[Setting]\r\nCustomMusic=1\r\n[MusicList]\r\n",
                 kAll,
                 {{"MusicFile", std::string("")}, {"MusicMode", 0}}},
        UserCase{"CustomMusicInOrder",
                 "[Setting]\r\nCustomMusic=1\r\nShuffleMusic=0\r\n[MusicList]\r\n"
                 "/m/a.mp3=\r\n/m/b.mid=\r\n",
                 kAll,
                 {{"MusicFile", std::string("/m/a.mp3;/m/b.mid")}, {"MusicMode", 1}}},
        UserCase{"NoCustomMusicKeepsThePackagesMusic",
                 "[Setting]\r\nCustomMusic=0\r\n[MusicList]\r\n/m/a.mp3=\r\n",
                 kAll,
                 {{"MusicFile", std::string("package.mp3")}}}),
    [](const auto& info) { return info.param.name; });

TEST(ApplyUserSettings, MissingFileChangesNothing) {
  SaverSettings p = FivePictures();
  EXPECT_FALSE(ApplyUserSettingsFile(p, "/nonexistent/Sea.ini").ok());
  EXPECT_FALSE(p.Setting.DirectX);
}

TEST(SpeedTable, TwentyOneValues) {
  EXPECT_EQ(SpeedTable.size(), 21u);
  EXPECT_EQ(SpeedTable[3], 45);
  EXPECT_EQ(SpeedTable[18], 360);
  EXPECT_EQ(SpeedIndex(100), 10);
  EXPECT_EQ(SpeedIndex(101), -1);
}

TEST(UserSettingsPath, BesideTheSaverWithTheExtensionReplaced) {
  const std::pair<const char*, const char*> cases[] = {{"/s/Sea.scr", "/s/Sea.ini"},
                                                       {"/s/My.Saver.scr", "/s/My.Saver.ini"},
                                                       {"/s.d/NoExt", "/s.d/NoExt.ini"}};
  for (auto [own, ini] : cases) EXPECT_EQ(UserSettingsPathBeside(own), ini);
}

struct LocateRow {
  const char* name;
  std::string saver;       // the saver's path
  bool foreignOwner;       // the folder belongs to another user
  const char* besideFile;  // an existing file beside the saver (nullptr: none)
  bool ownFileExists;      // the user already has a file in their configuration folder
  std::string file, fallback;
};

// Catches the file beside an installed saver being written (every user would share it, and
// only root could save), the user's own file being ignored once it exists, a case-blind match
// beside the saver lost, and the configuration name taken up to the last dot instead of the
// first.
TEST(LocateUserSettings, BesideOwnSaversElseTheUsersConfigurationFolder) {
  ScratchDir dir;
  const std::string cfg = dir / "cfg";
  auto env = [&](const char* n) -> const char* {
    return std::string_view(n) == "XDG_CONFIG_HOME" ? cfg.c_str() : nullptr;
  };
  const std::string own = cfg + "/vecsaver/Sea.ini";
  const LocateRow rows[] = {
      {"OwnFolder", dir / "Sea.scr", false, nullptr, false, dir / "Sea.ini", ""},
      {"OwnFolderCaseBlind", dir / "Sea.scr", false, "SEA.INI", false, dir / "SEA.INI", ""},
      {"OwnFolderKeepsWholeName", dir / "My.Saver.scr", false, nullptr, false, dir / "My.Saver.ini",
       ""},
      {"ForeignFolder", dir / "Sea.scr", true, nullptr, false, own, ""},
      {"ForeignFolderFallsBackToTheFileBeside", dir / "Sea.scr", true, "Sea.ini", false, own,
       dir / "Sea.ini"},
      {"ForeignNameUpToTheFirstDot", dir / "My.Saver.scr", true, nullptr, false,
       cfg + "/vecsaver/My.ini", ""},
      {"MissingFolder", "/nonexistent/dir/Sea.scr", false, nullptr, false, own, ""},
      // The system's tree is nobody's own, root's neither, though root owns and may write it.
      {"SystemFolderForRootToo", "/usr/share/Sea.scr", false, nullptr, false, own, ""},
  };
  for (const LocateRow& r : rows) {
    ScratchDir::RemoveTree(cfg);
    for (const char* f : {"Sea.ini", "SEA.INI"}) unlink((dir / f).c_str());
    if (r.besideFile) WriteBytes(dir / r.besideFile, "[Setting]\r\n");
    if (r.ownFileExists) {
      ASSERT_TRUE(MakeFolders(cfg + "/vecsaver", 0700).ok());
      WriteBytes(own, "[Setting]\r\n");
    }
    const uid_t user = r.saver.rfind("/usr/", 0) == 0 ? 0 : geteuid() + (r.foreignOwner ? 1 : 0);
    const UserSettingsFiles files = LocateUserSettings(r.saver, env, user);
    EXPECT_EQ(files.file, r.file) << r.name;
    EXPECT_EQ(files.fallback, r.fallback) << r.name;
  }
  auto home = [](const char* n) -> const char* {
    return std::string_view(n) == "HOME" ? "/home/u" : nullptr;
  };
  EXPECT_EQ(LocateUserSettings("/nonexistent/dir/Sea.scr", home, 1000).file,
            "/home/u/.config/vecsaver/Sea.ini");
}

TEST(IsSystemLocation, TheSystemsTreesAndNothingBesideThem) {
  const std::pair<const char*, bool> rows[] = {
      {"/", true},
      {"/usr", true},
      {"/usr/", true},
      {"/usr/share/vecsaver", true},
      {"/opt/x", true},
      {"/etc", true},
      {"/usrlocal", false},
      {"/home/u/savers", false},
      {"/tmp/x", false},
      {"/variable", false},
      {"/root/savers", false},
      {"/media/usb/usr", false},
  };
  for (auto [folder, system] : rows) EXPECT_EQ(IsSystemLocation(folder), system) << folder;
}

// Catches a configuration folder that is never made (the first save of every user of an
// installed saver failed), parents left unmade, and a new folder open to other users.
TEST(UpdateUserSettings, MakesTheFolderPrivateAndKeepsTheOtherKeys) {
  ScratchDir dir;
  const std::string beside = dir / "Sea.ini";
  const std::string own = dir / "home/.config/vecsaver/Sea.ini";
  WriteBytes(beside, "; kept\r\n[Setting]\r\nDuration=45\r\n");
  const mode_t mask = umask(022);
  const Status saved = UpdateUserSettings(
      {own, beside}, [](IniDocument& user) { user.WriteInteger("Setting", "Index", 3); });
  umask(mask);
  ASSERT_TRUE(saved.ok()) << saved.error().message;
  const IniDocument written = IniDocument::FromFile(own);
  EXPECT_EQ(written.ReadInteger("Setting", "Index", -1), 3);
  EXPECT_EQ(written.ReadInteger("Setting", "Duration", -1), 45);
  EXPECT_EQ(IniDocument::FromFile(beside).ReadInteger("Setting", "Index", -1), -1);
  struct stat st {};
  ASSERT_EQ(stat((dir / "home/.config/vecsaver").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(stat((dir / "home").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // Once the user has a file, the next save starts from it, not from the file beside: the
  // Settings dialog and the window save one after the other, and the second must keep what
  // the first wrote.
  ASSERT_TRUE(UpdateUserSettings({own, beside}, [](IniDocument& user) {
                user.WriteInteger("Setting", "Speed", 7);
              }).ok());
  const IniDocument second = IniDocument::FromFile(own);
  EXPECT_EQ(second.ReadInteger("Setting", "Index", -1), 3);
  EXPECT_EQ(second.ReadInteger("Setting", "Speed", -1), 7);
  EXPECT_EQ((UserSettingsFiles{own, beside}).Current(), own);
  EXPECT_EQ((UserSettingsFiles{dir / "none.ini", beside}).Current(), beside);

  // A file where a folder must be made: reported, nothing written.
  WriteBytes(dir / "blocked", "x");
  const Status blocked =
      UpdateUserSettings({dir / "blocked/vecsaver/Sea.ini", ""}, [](IniDocument&) {});
  ASSERT_FALSE(blocked.ok());
  EXPECT_NE(blocked.error().message.find("blocked"), std::string::npos);
}

// The folders above a user settings file on a new account: the missing ones are made, private
// to the user, and the ones there are left alone. Catches making only the last folder (no
// parents), a mode other than 0700, an existing folder's mode changed, and a file in the way
// taken for a folder.
TEST(MakeFolders, MakesTheMissingFoldersOnly) {
  struct Row {
    const char* label;
    std::vector<std::pair<const char*, mode_t>> folders;  // made before, with their modes
    const char* file;                                     // a regular file made before
    const char* path;
    bool ok;
    std::vector<std::pair<const char*, mode_t>> after;  // folders and their modes then
  };
  const Row rows[] = {
      {"new account",
       {{"home", 0755}},
       nullptr,
       "home/.config/vecsaver/Sea.ini",
       true,
       {{"home", 0755}, {"home/.config", 0700}, {"home/.config/vecsaver", 0700}}},
      {"config folder there",
       {{"cfg", 0751}, {"cfg/vecsaver", 0755}},
       nullptr,
       "cfg/vecsaver/Sea.ini",
       true,
       {{"cfg", 0751}, {"cfg/vecsaver", 0755}}},
      {"a file in the way", {}, "file", "file/vecsaver/Sea.ini", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ScratchDir dir;
    for (auto [folder, mode] : row.folders) {
      ASSERT_EQ(mkdir((dir / folder).c_str(), 0700), 0);
      ASSERT_EQ(chmod((dir / folder).c_str(), mode), 0);
    }
    if (row.file) WriteBytes(dir / row.file, "x");
    const Status made = MakeFolders(std::string(LocalFolderPart(dir / row.path)), 0700);
    EXPECT_EQ(made.ok(), row.ok);
    if (!made.ok()) {
      EXPECT_NE(made.error().message.find(dir / row.file), std::string::npos)
          << made.error().message;
      EXPECT_FALSE(std::filesystem::exists(dir / "file/vecsaver"));
    }
    for (auto [folder, mode] : row.after) {
      struct stat st {};
      ASSERT_EQ(stat((dir / folder).c_str(), &st), 0) << folder;
      EXPECT_TRUE(S_ISDIR(st.st_mode)) << folder;
      EXPECT_EQ(st.st_mode & 07777, mode) << folder;
    }
  }
  // A file name without a folder needs none.
  EXPECT_TRUE(MakeFolders(std::string(LocalFolderPart("Sea.ini")), 0700).ok());
}

}  // namespace
}  // namespace vec
