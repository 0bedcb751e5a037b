#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <vector>

#include "base/Ini.h"
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

TEST_P(ApplyUserSettingsTest, LaysTheFileOverTheProject) {
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
        UserCase{"NoDirectXKeyTurnsItOn",
                 "[Setting]\r\nDuration=15\r\n",
                 kAll,
                 {{"DirectX", true}, {"DirectXQuality", 1}, {"Duration", 15}}},
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

TEST(UserSettingsPath, ChoosesBesideExistingOrConfigFolder) {
  ScratchDir dir;
  auto env = [&](const char* n) -> const char* {
    return std::string_view(n) == "XDG_CONFIG_HOME" ? "/cfg" : nullptr;
  };
  // A writable folder: beside the saver.
  EXPECT_EQ(UserSettingsPath(dir / "Sea.scr", env), dir / "Sea.ini");
  // An existing file whose name differs in case is used as it is.
  WriteBytes(dir / "SEA.INI", "[Setting]\r\n");
  EXPECT_EQ(UserSettingsPath(dir / "Sea.scr", env), dir / "SEA.INI");
  // A folder that cannot take the file: the user's configuration folder.
  EXPECT_EQ(UserSettingsPath("/nonexistent/dir/Sea.scr", env), "/cfg/vecsaver/Sea.ini");
  auto home = [](const char* n) -> const char* {
    return std::string_view(n) == "HOME" ? "/home/u" : nullptr;
  };
  EXPECT_EQ(UserSettingsPath("/nonexistent/dir/Sea.scr", home), "/home/u/.config/vecsaver/Sea.ini");
  // Beside the saver the whole name keeps its last extension changed; in the configuration
  // folder the name stops at the first '.', as the run folder's does.
  EXPECT_EQ(UserSettingsPath(dir / "My.Saver.scr", env), dir / "My.Saver.ini");
  EXPECT_EQ(UserSettingsPath("/nonexistent/dir/My.Saver.scr", env), "/cfg/vecsaver/My.ini");
}

// The folders above a user settings file on a new account: the missing ones are made, private
// to the user, and the ones there are left alone. Catches making only the last folder (no
// parents), a mode other than 0700, an existing folder's mode changed, and a file in the way
// taken for a folder.
TEST(MakeUserSettingsFolder, MakesTheMissingFoldersOnly) {
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
    const Status made = MakeUserSettingsFolder(dir / row.path);
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
  EXPECT_TRUE(MakeUserSettingsFolder("Sea.ini").ok());
}

}  // namespace
}  // namespace vec
