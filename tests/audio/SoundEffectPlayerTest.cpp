#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "audio/SoundEffectPlayer.h"

namespace vec {
namespace {

// Records what the player asks of the device; slot buffers behave like the real ones.
class RecordingSoundDevice final : public ISoundDevice {
 public:
  std::set<int> failingSlots;      // OpenSlot fails for these
  std::set<std::string> badFiles;  // LoadSlot fails for these
  std::vector<std::string> log;

  struct Play {
    int slot;
    std::string file;
    bool loop;
    int32_t volume;
  };
  std::vector<Play> plays;
  std::vector<std::pair<std::string, bool>> filePlays;

  bool OpenSlot(int slot) override {
    log.push_back("open " + std::to_string(slot));
    return !failingSlots.count(slot);
  }
  void CloseSlot(int slot) override { log.push_back("close " + std::to_string(slot)); }
  bool LoadSlot(int slot, const std::string& path) override {
    buffers[slot] = badFiles.count(path) ? std::string() : path;
    return !buffers[slot].empty();
  }
  bool PlaySlot(int slot, bool loop, int32_t volume) override {
    if (buffers[slot].empty()) return false;
    plays.push_back({slot, buffers[slot], loop, volume});
    return true;
  }
  void StopSlot(int slot) override { log.push_back("stop " + std::to_string(slot)); }
  bool SlotPlaying(int) const override { return false; }
  bool PlayFile(const std::string& path, bool loop) override {
    filePlays.emplace_back(path, loop);
    return true;
  }
  void StopFile() override { log.push_back("stopfile"); }

  std::string buffers[SoundEffectPlayer::kSlotCount];
};

TEST(SoundEffectCreate, AllSlotsOpenGivesSlotMode) {
  RecordingSoundDevice device;
  SoundEffectPlayer player(device);
  EXPECT_EQ(player.Mode(), SoundEffectPlayer::kModeSlots);
  EXPECT_EQ(player.Volume(), 80);
  EXPECT_EQ(player.BufferVolume(), -800);
}

TEST(SoundEffectCreate, AFailingSlotFallsBackAndClosesTheOpenedOnes) {
  RecordingSoundDevice device;
  device.failingSlots = {3};
  SoundEffectPlayer player(device);
  EXPECT_EQ(player.Mode(), SoundEffectPlayer::kModeFallback);
  const std::vector<std::string> expected = {"open 0",  "open 1",  "open 2", "open 3",
                                             "close 2", "close 1", "close 0"};
  EXPECT_EQ(device.log, expected);
}

TEST(SoundEffectCreate, SilentDeviceFallsBackAndNothingFails) {
  SilentAudioDevice device;
  SoundEffectPlayer player(device);
  EXPECT_EQ(player.Mode(), SoundEffectPlayer::kModeFallback);
  EXPECT_TRUE(player.Add(0, "/nowhere/a.wav"));
  player.Play(0, true);
  player.StopAll();
}

TEST(SoundEffectPlay, OnlySlotsWithANamePlayTheirOwnFiles) {
  RecordingSoundDevice device;
  SoundEffectPlayer player(device);
  ASSERT_TRUE(player.Add(0, "water.wav"));
  ASSERT_TRUE(player.Add(2, "bird.wav"));
  player.Play(1, false);
  EXPECT_TRUE(device.plays.empty());
  player.Play(0, true);
  player.Play(2, false);
  ASSERT_EQ(device.plays.size(), 2u);
  EXPECT_EQ(device.plays[0].slot, 0);
  EXPECT_EQ(device.plays[0].file, "water.wav");
  EXPECT_TRUE(device.plays[0].loop);
  EXPECT_EQ(device.plays[0].volume, -800);
  EXPECT_EQ(device.plays[1].slot, 2);
  EXPECT_EQ(device.plays[1].file, "bird.wav");
  EXPECT_FALSE(device.plays[1].loop);
}

TEST(SoundEffectPlay, FileThatDoesNotLoadLeavesItsSlotSilent) {
  RecordingSoundDevice device;
  SoundEffectPlayer player(device);
  ASSERT_TRUE(player.Add(1, "old.wav"));
  device.badFiles = {"broken.wav"};
  EXPECT_FALSE(player.Add(1, "broken.wav"));
  player.Play(1, false);
  EXPECT_TRUE(device.plays.empty()) << "the previous picture's sound must not play";
}

TEST(SoundEffectPlay, SlotNumbersOutsideTheEightAreRefused) {
  RecordingSoundDevice device;
  SoundEffectPlayer player(device);
  EXPECT_FALSE(player.Add(-1, "a.wav"));
  EXPECT_FALSE(player.Add(8, "a.wav"));
  player.Play(8, false);
  player.Play(-1, false);
  EXPECT_TRUE(device.plays.empty());
  EXPECT_EQ(player.Name(8), "");
}

TEST(SoundEffectFallback, OnlySlotZeroPlaysThroughTheFilePath) {
  RecordingSoundDevice device;
  device.failingSlots = {0};
  SoundEffectPlayer player(device);
  ASSERT_EQ(player.Mode(), SoundEffectPlayer::kModeFallback);
  player.Add(0, "water.wav");
  player.Add(1, "bird.wav");
  player.Play(1, false);
  EXPECT_TRUE(device.filePlays.empty());
  player.Play(0, true);
  ASSERT_EQ(device.filePlays.size(), 1u);
  EXPECT_EQ(device.filePlays[0].first, "water.wav");
  EXPECT_TRUE(device.filePlays[0].second);
  EXPECT_TRUE(device.plays.empty());
  device.log.clear();
  player.StopAll();
  EXPECT_EQ(device.log, std::vector<std::string>{"stopfile"});
}

TEST(SoundEffectStop, StopAllAfterClearStillStopsEveryBuffer) {
  RecordingSoundDevice device;
  SoundEffectPlayer player(device);
  player.Add(0, "water.wav");
  player.Play(0, true);
  player.Clear();
  EXPECT_EQ(player.Name(0), "");
  device.log.clear();
  player.StopAll();
  EXPECT_EQ(device.log.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(device.log[i], "stop " + std::to_string(i));
  // The name is gone, so a later play is silent.
  device.plays.clear();
  player.Play(0, true);
  EXPECT_TRUE(device.plays.empty());
}

TEST(SoundEffectFree, StopsThenClosesSlotsFromTheLast) {
  RecordingSoundDevice device;
  {
    SoundEffectPlayer player(device);
    device.log.clear();
  }
  ASSERT_EQ(device.log.size(), 16u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(device.log[i], "stop " + std::to_string(i));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(device.log[8 + i], "close " + std::to_string(7 - i));
}

}  // namespace
}  // namespace vec
