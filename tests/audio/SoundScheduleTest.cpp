#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "audio/SoundSchedule.h"
#include "base/Random.h"
#include "package/FileSearch.h"

namespace vec {
namespace {
namespace fs = std::filesystem;

// Plays nothing, but remembers which file was started when.
class TimedSoundDevice final : public ISoundDevice {
 public:
  explicit TimedSoundDevice(IClock& clock) : clock_(clock) {}

  struct Play {
    int slot;
    std::string file;
    bool loop;
    uint32_t tick;
  };
  std::vector<Play> plays;
  std::set<std::string> badFiles;
  int stops = 0;

  bool OpenSlot(int) override { return true; }
  void CloseSlot(int) override {}
  bool LoadSlot(int slot, const std::string& path) override {
    buffers_[slot] = badFiles.count(fs::path(path).filename().string()) ? "" : path;
    return !buffers_[slot].empty();
  }
  bool PlaySlot(int slot, bool loop, int32_t) override {
    plays.push_back({slot, buffers_[slot], loop, clock_.Ticks()});
    return true;
  }
  void StopSlot(int) override { ++stops; }
  bool SlotPlaying(int) const override { return false; }
  bool PlayFile(const std::string&, bool) override { return false; }
  void StopFile() override {}

  std::vector<uint32_t> TicksOf(const std::string& name) const {
    std::vector<uint32_t> ticks;
    for (const auto& p : plays) {
      if (fs::path(p.file).filename() == name) ticks.push_back(p.tick);
    }
    return ticks;
  }

 private:
  IClock& clock_;
  std::string buffers_[SoundEffectPlayer::kSlotCount];
};

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("vec-sound-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Folder() const { return path_.string() + "/"; }
  std::string Touch(const std::string& relative) const {
    fs::path p = path_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "RIFF";
    return p.string();
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

SoundSlot Slot(std::string name, int32_t mode, int32_t lo = 0, int32_t hi = 0) {
  SoundSlot slot;
  slot.FileName = std::move(name);
  slot.PlayMode = mode;
  slot.IntervalMin = lo;
  slot.IntervalMax = hi;
  return slot;
}

class SoundScheduleTest : public ::testing::Test {
 protected:
  SoundScheduleTest() : device(clock), player(device), schedule(player, clock) {
    paths.tempFolder = temp.Folder();
    SetRandSeed(12345);
  }

  // Runs the show's ticks for `seconds`, one every 100 ms.
  void RunFor(int seconds) {
    for (int t = 0; t < seconds * 10; ++t) {
      clock.Advance(100);
      schedule.UpdateSoundEffects();
    }
  }

  TempDir temp;
  FakeClock clock;
  TimedSoundDevice device;
  SoundEffectPlayer player;
  SoundSchedule schedule;
  SoundSearchPaths paths;
};

TEST_F(SoundScheduleTest, LoopModePlaysLoopingOnceForThePicture) {
  temp.Touch("water.wav");
  std::vector<SoundSlot> slots = {Slot("water.wav", 0)};
  schedule.LoadSoundEffects(slots, paths);
  schedule.UpdateSoundEffects();
  RunFor(30);
  ASSERT_EQ(device.plays.size(), 1u);
  EXPECT_TRUE(device.plays[0].loop);
}

TEST_F(SoundScheduleTest, RandomPauseModePlaysEveryTwoToFourSeconds) {
  temp.Touch("bird.wav");
  std::vector<SoundSlot> slots = {Slot("bird.wav", 1, 2, 5)};
  schedule.LoadSoundEffects(slots, paths);
  schedule.UpdateSoundEffects();
  RunFor(400);
  const auto ticks = device.TicksOf("bird.wav");
  ASSERT_GT(ticks.size(), 50u);
  std::set<uint32_t> gaps;
  for (size_t i = 1; i < ticks.size(); ++i) {
    const uint32_t gap = ticks[i] - ticks[i - 1];
    EXPECT_GE(gap, 2000u);
    EXPECT_LT(gap, 5000u);
    gaps.insert(gap / 1000);
    EXPECT_FALSE(device.plays[i].loop);
  }
  EXPECT_EQ(gaps, (std::set<uint32_t>{2, 3, 4}));
}

TEST_F(SoundScheduleTest, FixedIntervalModePlaysEveryIntervalMinSeconds) {
  temp.Touch("bell.wav");
  std::vector<SoundSlot> slots = {Slot("bell.wav", 2, 3, 99)};
  schedule.LoadSoundEffects(slots, paths);
  schedule.UpdateSoundEffects();
  EXPECT_TRUE(device.plays.empty()) << "the first play waits for the interval";
  RunFor(30);
  const auto ticks = device.TicksOf("bell.wav");
  ASSERT_EQ(ticks.size(), 10u);
  for (size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], 3000u);
}

struct IntervalCase {
  const char* name;
  int32_t lo, hi;
  int64_t min, max;  // inclusive range of drawn intervals
};

class RandomIntervalTest : public SoundScheduleTest,
                           public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(RandomIntervalTest, IntervalStaysInRange) {
  const auto& c = GetParam();
  temp.Touch("bird.wav");
  std::vector<SoundSlot> slots = {Slot("bird.wav", 1, c.lo, c.hi)};
  for (int round = 0; round < 200; ++round) {
    schedule.LoadSoundEffects(slots, paths);
    const int64_t interval = schedule.State(0).interval;
    EXPECT_GE(interval, c.min);
    EXPECT_LE(interval, c.max);
    player.Clear();
  }
}

INSTANTIATE_TEST_SUITE_P(Bounds, RandomIntervalTest,
                         ::testing::Values(IntervalCase{"TwoToFive", 2, 5, 2, 4},
                                           IntervalCase{"Equal", 7, 7, 7, 7},
                                           IntervalCase{"Reversed", 9, 3, 3, 8},
                                           IntervalCase{"Zero", 0, 1, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundScheduleTest, EntriesAreNumberedInTheOrderFilesWereAdded) {
  temp.Touch("b.wav");
  temp.Touch("c.wav");
  temp.Touch("d.wav");
  device.badFiles = {"c.wav"};
  std::vector<SoundSlot> slots = {Slot("missing.wav", 0), Slot("b.wav", 0), Slot("c.wav", 0),
                                  Slot("d.wav", 0)};
  schedule.LoadSoundEffects(slots, paths);
  EXPECT_FALSE(schedule.State(0).active);
  EXPECT_TRUE(schedule.State(1).active);
  EXPECT_EQ(schedule.State(1).entry, 0);
  EXPECT_FALSE(schedule.State(2).active) << "a file that does not load leaves its slot silent";
  EXPECT_TRUE(schedule.State(3).active);
  EXPECT_EQ(schedule.State(3).entry, 1);
  schedule.UpdateSoundEffects();
  ASSERT_EQ(device.plays.size(), 2u);
  EXPECT_EQ(device.plays[0].slot, 0);
  EXPECT_EQ(fs::path(device.plays[0].file).filename(), "b.wav");
  EXPECT_EQ(device.plays[1].slot, 1);
  EXPECT_EQ(fs::path(device.plays[1].file).filename(), "d.wav");
}

TEST_F(SoundScheduleTest, ClearStopsEverythingAndNothingPlaysAfterwards) {
  temp.Touch("bell.wav");
  std::vector<SoundSlot> slots = {Slot("bell.wav", 2, 1)};
  schedule.LoadSoundEffects(slots, paths);
  RunFor(3);
  ASSERT_FALSE(device.plays.empty());
  device.plays.clear();
  device.stops = 0;
  schedule.ClearSoundEffects();
  EXPECT_EQ(device.stops, 8);
  RunFor(5);
  EXPECT_TRUE(device.plays.empty());
}

TEST_F(SoundScheduleTest, IntervalsSurviveTheTickCounterWrapping) {
  clock.Set(0xFFFFFFFFu - 1500);
  temp.Touch("bell.wav");
  std::vector<SoundSlot> slots = {Slot("bell.wav", 2, 2)};
  schedule.LoadSoundEffects(slots, paths);
  RunFor(1);
  EXPECT_TRUE(device.plays.empty());
  RunFor(1);
  EXPECT_EQ(device.plays.size(), 1u);
}

TEST_F(SoundScheduleTest, MessagePumpRunsAfterEachPlay) {
  temp.Touch("a.wav");
  temp.Touch("b.wav");
  int pumped = 0;
  schedule.SetMessagePump([&] { ++pumped; });
  std::vector<SoundSlot> slots = {Slot("a.wav", 0), Slot("b.wav", 0)};
  schedule.LoadSoundEffects(slots, paths);
  schedule.UpdateSoundEffects();
  EXPECT_EQ(pumped, 2);
}

// --- where the files are found ---

TEST(SoundFileName, PartAfterEitherSeparator) {
  EXPECT_EQ(StoredFileNamePart("C:\\Sounds\\bird.wav"), "bird.wav");
  EXPECT_EQ(StoredFileNamePart("sub/dir\\x.wav"), "x.wav");
  EXPECT_EQ(StoredFileNamePart("a/b/c.ogg"), "c.ogg");
  EXPECT_EQ(StoredFileNamePart("plain.wav"), "plain.wav");
  EXPECT_EQ(StoredFileNamePart("ends\\"), "");
}

TEST(SoundFileSearch, TemporaryFolderFirstThenSharedThenExecutable) {
  TempDir temp, shared, exe;
  SoundSearchPaths paths{temp.Folder(), shared.Folder(), exe.Folder()};

  const std::string inExe = exe.Touch("sounds/Bird.wav");
  EXPECT_EQ(FindSoundFile("C:\\Program Files\\x\\Bird.wav", paths), inExe);
  const std::string inShared = shared.Touch("Bird.wav");
  EXPECT_EQ(FindSoundFile("C:\\Program Files\\x\\Bird.wav", paths), inShared);
  const std::string inTemp = temp.Touch("Bird.wav");
  EXPECT_EQ(FindSoundFile("C:\\Program Files\\x\\Bird.wav", paths), inTemp);
  // A name that exists as it stands wins over all folders.
  EXPECT_EQ(FindSoundFile(inExe, paths), inExe);
  EXPECT_EQ(FindSoundFile("nothing.wav", paths), "");
  EXPECT_EQ(FindSoundFile("", paths), "");
}

TEST(SoundFileSearch, CaseIsIgnoredWhenTheExactNameIsMissing) {
  TempDir temp;
  const std::string file = temp.Touch("RAIN.Wav");
  SoundSearchPaths paths{temp.Folder(), "", ""};
  EXPECT_EQ(FindSoundFile("c:\\sounds\\rain.wav", paths), file);
  EXPECT_EQ(FindInFolder(temp.Folder(), "rain.WAV"), file);
  EXPECT_EQ(FindInFolder(temp.Folder(), "rain.wa"), "");
  // A folder of that name is not a sound.
  fs::create_directories(temp.Folder() + "Dir.wav");
  EXPECT_EQ(FindInFolder(temp.Folder(), "dir.wav"), "");
}

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The shared sounds folder is the sounds/ of the first shared-library folder that exists,
// and only that one: a sound that only a later candidate holds is not found.
TEST(SoundFileSearch, OnlyTheFirstExistingSharedFolderIsSearched) {
  TempDir home, opt, usr, exe;
  ScopedEnv dataHome("XDG_DATA_HOME", (home.Folder() + "data").c_str());
  ScopedEnv dirs("XDG_DATA_DIRS", (opt.Folder() + "::" + usr.Folder()).c_str());
  EXPECT_EQ(SharedLibrarySubfolder("sounds/"), "");
  const std::string inUsr = usr.Touch("Dawlish/Common/sounds/Owl.wav");
  EXPECT_EQ(SharedLibrarySubfolder("sounds/"), usr.Folder() + "Dawlish/Common/sounds/");
  SoundSearchPaths paths{"", SharedLibrarySubfolder("sounds/"), exe.Folder()};
  EXPECT_EQ(FindSoundFile("owl.wav", paths), inUsr);
  // An existing earlier candidate without the sound hides the later one.
  fs::create_directories(opt.Folder() + "Dawlish/Common");
  EXPECT_EQ(SharedLibrarySubfolder("sounds/"), opt.Folder() + "Dawlish/Common/sounds/");
  paths.sharedSoundFolder = SharedLibrarySubfolder("sounds/");
  EXPECT_EQ(FindSoundFile("owl.wav", paths), "");
  fs::create_directories(home.Folder() + "data/Dawlish/Common");
  EXPECT_EQ(SharedLibrarySubfolder("sounds/"), home.Folder() + "data/Dawlish/Common/sounds/");
}

}  // namespace
}  // namespace vec
