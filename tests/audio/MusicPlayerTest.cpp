#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "base/Random.h"

namespace vec {
namespace {

// A music device whose files "play" until the test says they ended.
class ScriptedMusicDevice final : public IMusicDevice {
 public:
  std::set<std::string> unopenable;
  std::vector<std::string> opened;  // every successful open, in order
  int opens = 0;                    // every attempt
  int closes = 0;
  bool armed = false;
  int pending = 0;

  void SetMusicFileName(const std::string& path) override { name_ = path; }
  bool OpenMusic() override {
    ++opens;
    if (unopenable.count(name_)) return false;
    open_ = true;
    position_ = 0;
    opened.push_back(name_);
    return true;
  }
  bool PlayMusic() override { return open_; }
  void CloseMusic() override {
    ++closes;
    if (open_ && position_ < kLength) Stopped();  // an aborted play also notifies
    open_ = false;
  }
  int64_t MusicPosition() const override { return position_; }
  int64_t MusicLength() const override { return kLength; }
  void ArmMusicNotify() override { armed = true; }
  bool TakeMusicNotify() override {
    if (pending == 0) return false;
    --pending;
    return true;
  }

  // The file playing now reaches its end.
  void End() {
    position_ = kLength;
    Stopped();
  }
  void Stopped() {
    if (armed) {
      armed = false;
      ++pending;
    }
  }

 private:
  static constexpr int64_t kLength = 180000;
  std::string name_;
  bool open_ = false;
  int64_t position_ = 0;
};

struct ListCase {
  const char* name;
  const char* musicFile;
  std::vector<std::string> expected;
};

class MusicListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(MusicListTest, Pieces) {
  EXPECT_EQ(BuildMusicList(GetParam().musicFile, "/tmp/Sea42/"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    MusicFile, MusicListTest,
    ::testing::Values(
        ListCase{"NameOnlyTakenFromTempFolder", "song.mp3", {"/tmp/Sea42/song.mp3"}},
        ListCase{"EmptyPiecesSkipped", ";a.mp3;;b.ogg;", {"/tmp/Sea42/a.mp3", "/tmp/Sea42/b.ogg"}},
        ListCase{"FolderKept",
                 "/home/u/m/a.flac;C:\\Music\\b.mid",
                 {"/home/u/m/a.flac", "C:\\Music\\b.mid"}},
        ListCase{"OnlySeparators", ";;;", {}}, ListCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MusicListFiles, ExtractedFileFoundWhateverTheCaseOrFolderOfTheSetting) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vec-music-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "Song.mp3") << "ID3";
  const std::string temp = dir.string() + "/";
  EXPECT_EQ(BuildMusicList("song.MP3;C:\\Saver\\SONG.mp3;/no/such/other.mp3", temp),
            (std::vector<std::string>{temp + "Song.mp3", temp + "Song.mp3", "/no/such/other.mp3"}));
  fs::remove_all(dir);
}

TEST(NextMusicIndex, ListOrderWraps) {
  int32_t index = -1;
  std::vector<int32_t> seen;
  for (int i = 0; i < 5; ++i) {
    NextMusicIndex(index, 1, 2);
    seen.push_back(index);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 0, 1, 0}));
}

TEST(NextMusicIndex, RandomNeverRepeatsAndReachesEveryFile) {
  SetRandSeed(7);
  int32_t index = -1;
  std::set<int32_t> seen;
  for (int i = 0; i < 300; ++i) {
    const int32_t before = index;
    NextMusicIndex(index, 0, 3);
    ASSERT_NE(index, before);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, 3);
    seen.insert(index);
  }
  EXPECT_EQ(seen.size(), 3u);
}

TEST(NextMusicIndex, RandomWithOneFileStaysOnIt) {
  int32_t index = 0;
  NextMusicIndex(index, 0, 1);
  EXPECT_EQ(index, 0);
  index = -1;
  NextMusicIndex(index, 0, 1);
  EXPECT_EQ(index, 0);
}

TEST(MusicPlayer, MusicOffOpensNothing) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(false, "a.mp3;b.mp3", 1, "/t/");
  EXPECT_FALSE(music.MusicOn());
  EXPECT_EQ(device.opens, 0);
  EXPECT_TRUE(music.MusicList().empty());
}

TEST(MusicPlayer, EmptyMusicFileOpensNothing) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "", 1, "/t/");
  EXPECT_FALSE(music.MusicOn());
  EXPECT_EQ(device.opens, 0);
}

TEST(MusicPlayer, TwoFilesInListOrderAlternate) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "a.mp3;b.mp3", 1, "/t/");
  ASSERT_TRUE(music.Playing());
  EXPECT_TRUE(device.armed);
  for (int i = 0; i < 3; ++i) {
    device.End();
    music.PollNotifications();
    EXPECT_TRUE(device.armed) << "the notification is armed again after each change";
  }
  EXPECT_EQ(device.opened,
            (std::vector<std::string>{"/t/a.mp3", "/t/b.mp3", "/t/a.mp3", "/t/b.mp3"}));
}

TEST(MusicPlayer, OneFileRepeats) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "only.ogg;", 0, "/t/");
  for (int i = 0; i < 3; ++i) {
    device.End();
    music.PollNotifications();
  }
  EXPECT_EQ(device.opened, std::vector<std::string>(4, "/t/only.ogg"));
}

TEST(MusicPlayer, ThreeFilesAtRandomNeverPlayOneTwiceInARow) {
  SetRandSeed(99);
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "a;b;c", 0, "/t/");
  for (int i = 0; i < 100; ++i) {
    device.End();
    music.PollNotifications();
  }
  ASSERT_EQ(device.opened.size(), 101u);
  for (size_t i = 1; i < device.opened.size(); ++i) {
    EXPECT_NE(device.opened[i], device.opened[i - 1]);
  }
}

TEST(MusicPlayer, NotificationBeforeTheEndChangesNothingButRearms) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "a;b", 1, "/t/");
  device.Stopped();  // e.g. an aborted play
  music.PollNotifications();
  EXPECT_EQ(device.opened.size(), 1u);
  EXPECT_EQ(music.MusicIndex(), 0);
  EXPECT_TRUE(device.armed);
}

TEST(MusicPlayer, FirstFileThatCannotOpenMeansNoMusic) {
  ScriptedMusicDevice device;
  device.unopenable = {"/t/a"};
  MusicPlayer music(device);
  music.Start(true, "a;b", 1, "/t/");
  EXPECT_TRUE(music.MusicOn());
  EXPECT_FALSE(music.Playing());
  device.End();
  music.PollNotifications();
  music.MusicFinished();
  EXPECT_TRUE(device.opened.empty());
  EXPECT_EQ(device.opens, 1);
}

TEST(MusicPlayer, LaterFileThatCannotOpenIsSkipped) {
  ScriptedMusicDevice device;
  MusicPlayer music(device);
  music.Start(true, "a;b;c", 1, "/t/");
  device.unopenable = {"/t/b"};
  device.End();
  music.PollNotifications();
  EXPECT_EQ(device.opened, (std::vector<std::string>{"/t/a", "/t/c"}));
  EXPECT_EQ(music.MusicIndex(), 2);
  EXPECT_TRUE(music.Playing());
}

TEST(MusicPlayer, ListWhereNoFileOpensStopsTrying) {
  for (int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode);
    ScriptedMusicDevice device;
    MusicPlayer music(device);
    music.Start(true, "a;b;c", mode, "/t/");
    device.unopenable = {"/t/a", "/t/b", "/t/c"};
    device.End();
    music.PollNotifications();
    EXPECT_FALSE(music.Playing());
    const int attempts = device.opens;
    EXPECT_LE(attempts, 1 + 3);
    device.End();
    music.PollNotifications();
    music.MusicFinished();
    EXPECT_EQ(device.opens, attempts);
  }
}

TEST(MusicPlayer, StopClosesTheDevice) {
  ScriptedMusicDevice device;
  {
    MusicPlayer music(device);
    music.Start(true, "a", 1, "/t/");
    EXPECT_EQ(device.closes, 0);
  }
  EXPECT_GE(device.closes, 1);
}

}  // namespace
}  // namespace vec
