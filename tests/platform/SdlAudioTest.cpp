// The SDL2_mixer back end, heard through SDL's "disk" audio driver: the mixer writes what it
// would play into a file of raw samples, and the tests look at that file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffectPlayer.h"
#include "platform/SdlAudio.h"
#include "tests/platform/WmaWriter.h"
#include "tests/support/SineWav.h"

namespace vec {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr int kBytesPerSecond = kRate * 2 * 2;  // stereo, 16-bit
constexpr double kAmplitude = 16000.0;

void PutLE(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A mono 16-bit PCM WAV file holding a sine wave.
void WriteSineWav(const std::string& path, double hz, double seconds,
                  double amplitude = kAmplitude) {
  testing::WriteSineWav(path, hz, seconds, amplitude, kRate);
}

void SetEnv(const char* name, const std::string& value) {
  ::setenv(name, value.c_str(), 1);
}

// A scratch folder and the disk driver's output file in it.
class DiskAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("vec-sdl-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(dir_);
    output_ = (dir_ / "mixed.raw").string();
    SetEnv("SDL_AUDIODRIVER", "disk");
    SetEnv("SDL_DISKAUDIOFILE", output_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  uintmax_t OutputBytes() const {
    std::error_code ec;
    const auto size = fs::file_size(output_, ec);
    return ec ? 0 : size;
  }
  // Waits until the mixer has written `seconds` more of sound (or a generous timeout).
  void WaitForMixed(double seconds) const {
    const uintmax_t target = OutputBytes() + static_cast<uintmax_t>(seconds * kBytesPerSecond);
    const auto deadline = std::chrono::steady_clock::now() + 4s;
    while (OutputBytes() < target && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(5ms);
    }
  }
  // The left channel of everything mixed; call after the device is closed.
  std::vector<int16_t> Left() const {
    std::ifstream in(output_, std::ios::binary);
    std::vector<int16_t> left;
    int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0]);
    return left;
  }

  fs::path dir_;
  std::string output_;
};

struct Span {
  size_t first = 0, last = 0;  // first and one past the last sample above the noise floor
  double Seconds() const { return double(last - first) / kRate; }
};

Span Audible(const std::vector<int16_t>& s) {
  Span span;
  for (size_t i = 0; i < s.size(); ++i) {
    if (std::abs(s[i]) > 64) {
      if (span.last == 0) span.first = i;
      span.last = i + 1;
    }
  }
  return span;
}

double Db(double ratio) {
  return 20 * std::log10(ratio);
}

using testing::ToneAmplitude;

double Rms(const std::vector<int16_t>& s, size_t from, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += double(s[from + i]) * s[from + i];
  return std::sqrt(sum / n);
}

TEST(SdlAudioVolume, HundredthsOfADecibelToMixerVolume) {
  struct Case {
    int32_t centibels;
    int volume;
  };
  for (const Case& c : {Case{-800, 51}, Case{0, 128}, Case{-600, 64}, Case{-10000, 0},
                        Case{600, 128}, Case{-4000, 1}}) {
    EXPECT_EQ(SdlAudio::MixVolume(c.centibels), c.volume) << c.centibels;
  }
}

TEST_F(DiskAudioTest, LoopingSlotPlaysAtMinusEightDecibelsUntilStopAll) {
  WriteSineWav(File("tone.wav"), 440, 0.2);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    ASSERT_EQ(audio.OutputFrequency(), kRate);
    SoundEffectPlayer player(audio);
    ASSERT_EQ(player.Mode(), SoundEffectPlayer::kModeSlots);
    ASSERT_TRUE(player.Add(0, File("tone.wav")));
    player.Play(0, true);
    WaitForMixed(0.7);
    EXPECT_TRUE(audio.SlotPlaying(0));
    player.StopAll();
    EXPECT_FALSE(audio.SlotPlaying(0));
    WaitForMixed(0.3);
  }
  const auto left = Left();
  const Span span = Audible(left);
  EXPECT_GT(span.Seconds(), 0.45) << "a looping sound keeps going past its length";
  EXPECT_GT(double(left.size() - span.last) / kRate, 0.2) << "stop all silences it";
  const size_t n = kRate / 5;
  ASSERT_GT(span.last - span.first, 2 * n);
  const double level = Db(Rms(left, span.first + n / 2, n) / (kAmplitude / std::sqrt(2.0)));
  EXPECT_NEAR(level, -8.0, 0.5);
}

TEST_F(DiskAudioTest, OneShotEndsAfterItsLength) {
  WriteSineWav(File("tone.wav"), 440, 0.2);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    SoundEffectPlayer player(audio);
    ASSERT_TRUE(player.Add(0, File("tone.wav")));
    player.Play(0, false);
    WaitForMixed(0.6);
    EXPECT_FALSE(audio.SlotPlaying(0));
  }
  const Span span = Audible(Left());
  EXPECT_NEAR(span.Seconds(), 0.2, 0.02);
}

TEST_F(DiskAudioTest, TwoSlotsMixAndAnEmptySlotStaysSilent) {
  WriteSineWav(File("low.wav"), 440, 0.25);
  WriteSineWav(File("high.wav"), 660, 0.25);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    SoundEffectPlayer player(audio);
    ASSERT_TRUE(player.Add(0, File("low.wav")));
    ASSERT_TRUE(player.Add(2, File("high.wav")));
    player.Play(0, true);
    player.Play(1, true);
    player.Play(2, true);
    EXPECT_FALSE(audio.SlotPlaying(1));
    WaitForMixed(0.5);
  }
  const auto left = Left();
  const Span span = Audible(left);
  const size_t n = kRate / 4;  // a whole number of periods of both tones
  ASSERT_GT(span.last - span.first, n + n / 4);
  const size_t from = span.first + n / 8;
  EXPECT_NEAR(Db(ToneAmplitude(left, from, n, 440) / kAmplitude), -8.0, 0.5);
  EXPECT_NEAR(Db(ToneAmplitude(left, from, n, 660) / kAmplitude), -8.0, 0.5);
}

TEST_F(DiskAudioTest, FallbackPlaysOnlySlotZero) {
  WriteSineWav(File("low.wav"), 440, 0.25);
  WriteSineWav(File("high.wav"), 660, 0.25);
  {
    SdlAudioOptions options;
    options.slotChannels = 0;  // no slot gets a channel of its own
    SdlAudio audio(options);
    ASSERT_TRUE(audio.IsOpen());
    SoundEffectPlayer player(audio);
    ASSERT_EQ(player.Mode(), SoundEffectPlayer::kModeFallback);
    player.Add(0, File("low.wav"));
    player.Add(1, File("high.wav"));
    player.Play(1, true);
    player.Play(0, true);
    WaitForMixed(0.5);
    player.StopAll();
    WaitForMixed(0.2);
  }
  const auto left = Left();
  const Span span = Audible(left);
  const size_t n = kRate / 4;
  ASSERT_GT(span.last - span.first, n + n / 4);
  const size_t from = span.first + n / 8;
  EXPECT_GT(Db(ToneAmplitude(left, from, n, 440) / kAmplitude), -1.0);
  EXPECT_LT(Db(ToneAmplitude(left, from, n, 660) / kAmplitude), -40.0);
  EXPECT_GT(double(left.size() - span.last) / kRate, 0.1);
}

TEST_F(DiskAudioTest, MusicNotifiesOnceWhenItHasPlayedToItsEnd) {
  WriteSineWav(File("music.wav"), 550, 0.3);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    audio.SetMusicFileName(File("music.wav"));
    audio.ArmMusicNotify();
    ASSERT_TRUE(audio.OpenMusic());
    EXPECT_NEAR(double(audio.MusicLength()), 300.0, 5.0);
    ASSERT_TRUE(audio.PlayMusic());
    EXPECT_LT(audio.MusicPosition(), audio.MusicLength());
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    bool notified = false;
    while (!notified && std::chrono::steady_clock::now() < deadline) {
      notified = audio.TakeMusicNotify();
      std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(notified);
    EXPECT_GE(audio.MusicPosition(), audio.MusicLength());
    EXPECT_FALSE(audio.TakeMusicNotify()) << "one notification per arming";
    audio.CloseMusic();
    WaitForMixed(0.1);
  }
  const auto left = Left();
  const Span span = Audible(left);
  EXPECT_NEAR(span.Seconds(), 0.3, 0.03);
  EXPECT_NEAR(Db(ToneAmplitude(left, span.first, kRate / 10, 550) / kAmplitude), 0.0, 0.5);
}

TEST_F(DiskAudioTest, ClosingPlayingMusicNotifiesWithoutReachingTheEnd) {
  WriteSineWav(File("long.wav"), 550, 2.0);
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  audio.SetMusicFileName(File("long.wav"));
  audio.ArmMusicNotify();
  ASSERT_TRUE(audio.OpenMusic());
  ASSERT_TRUE(audio.PlayMusic());
  WaitForMixed(0.1);
  ASSERT_TRUE(audio.OpenMusic());  // reopening closes the playing file first
  EXPECT_TRUE(audio.TakeMusicNotify());
  EXPECT_LT(audio.MusicPosition(), audio.MusicLength());
}

TEST_F(DiskAudioTest, MusicListPlaysItsFilesInTurn) {
  WriteSineWav(File("a.wav"), 440, 0.15);
  WriteSineWav(File("b.wav"), 660, 0.15);
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  MusicPlayer music(audio);
  music.Start(true, "a.wav;b.wav", 1, dir_.string() + "/");
  ASSERT_TRUE(music.Playing());
  std::vector<int32_t> order = {music.MusicIndex()};
  const auto deadline = std::chrono::steady_clock::now() + 4s;
  while (order.size() < 4 && std::chrono::steady_clock::now() < deadline) {
    music.PollNotifications();
    if (music.MusicIndex() != order.back()) order.push_back(music.MusicIndex());
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 0, 1}));
}

TEST_F(DiskAudioTest, OneMusicFileRepeats) {
  WriteSineWav(File("a.wav"), 440, 0.15);
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  MusicPlayer music(audio);
  music.Start(true, "a.wav", 0, dir_.string() + "/");
  ASSERT_TRUE(music.Playing());
  int ends = 0;
  const auto deadline = std::chrono::steady_clock::now() + 4s;
  while (ends < 3 && std::chrono::steady_clock::now() < deadline) {
    while (audio.TakeMusicNotify()) {
      ++ends;
      music.MusicFinished();
    }
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(ends, 3);
  EXPECT_TRUE(music.Playing());
}

// A MIDI file of one note, as format 0 with one track.
std::string OneNoteMidi() {
  const unsigned char bytes[] = {'M',  'T',  'h',  'd', 0, 0,  0, 6,
                                 0,    0,    0,    1,   0, 96,         // 96 ticks per quarter note
                                 'M',  'T',  'r',  'k', 0, 0,  0, 12,  // track of 12 bytes
                                 0x00, 0x90, 60,   100,                // note on, middle C
                                 0x60, 0x80, 60,   0,                  // a quarter later: note off
                                 0x00, 0xFF, 0x2F, 0x00};              // end of track
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The bootstrap installs the General MIDI font the synthesiser is pointed at.
TEST_F(DiskAudioTest, MidiMusicIsHeardWithTheInstalledSoundFont) {
  ASSERT_TRUE(fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2") || std::getenv("SDL_SOUNDFONTS"))
      << "no sound font: run scripts/bootstrap";
  std::ofstream(File("note.mid"), std::ios::binary) << OneNoteMidi();
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    audio.SetMusicFileName(File("note.mid"));
    ASSERT_TRUE(audio.OpenMusic());
    ASSERT_TRUE(audio.PlayMusic());
    WaitForMixed(0.6);
  }
  EXPECT_GT(Audible(Left()).Seconds(), 0.1);
}

// --- formats SDL_mixer lacks, decoded by FFmpeg ---

std::vector<int16_t> Sine(double hz, double seconds, double amplitude = kAmplitude) {
  std::vector<int16_t> out(static_cast<size_t>(std::lround(seconds * kRate)));
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / kRate)));
  }
  return out;
}

void WriteSineWma(const std::string& path, double hz, double seconds) {
  const Status written = WriteWma(path, Sine(hz, seconds), kRate);
  ASSERT_TRUE(written.ok()) << written.error().message;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WaitForNotify(SdlAudio& audio) {
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (audio.TakeMusicNotify()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

// Catches music the mixer refuses staying silent, playing at a wrong pitch or level (a
// wrong output format), and a stream whose end never reaches the music player.
TEST_F(DiskAudioTest, WmaMusicIsHeardAtFullLevelAndNotifiesAtItsEnd) {
  WriteSineWma(File("music.wma"), 550, 0.3);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    audio.SetMusicFileName(File("music.wma"));
    audio.ArmMusicNotify();
    ASSERT_TRUE(audio.OpenMusic());
    // The container rounds the length to its packets: 300 ms and at most one frame more.
    EXPECT_NEAR(double(audio.MusicLength()), 320.0, 50.0);
    ASSERT_TRUE(audio.PlayMusic());
    EXPECT_LT(audio.MusicPosition(), audio.MusicLength());
    ASSERT_TRUE(WaitForNotify(audio));
    EXPECT_GE(audio.MusicPosition(), audio.MusicLength());
    EXPECT_FALSE(audio.TakeMusicNotify()) << "one notification per arming";
    audio.CloseMusic();
    EXPECT_FALSE(audio.TakeMusicNotify()) << "closing an ended file notifies no more";
    WaitForMixed(0.1);
  }
  const auto left = Left();
  const Span span = Audible(left);
  // The codec's frames of 2048 samples pad the end by up to 46 ms.
  EXPECT_NEAR(span.Seconds(), 0.32, 0.05);
  // 550 Hz over 0.1 s is a whole number of periods; the middle of the tone.
  EXPECT_NEAR(Db(ToneAmplitude(left, span.first + kRate / 10, kRate / 10, 550) / kAmplitude), 0.0,
              1.0);
}

// Catches a reopened stream not rewinding, and a second file not starting after the first.
TEST_F(DiskAudioTest, WmaAndWavMusicPlayInTurn) {
  WriteSineWma(File("a.wma"), 440, 0.15);
  WriteSineWav(File("b.wav"), 660, 0.15);
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  MusicPlayer music(audio);
  music.Start(true, "a.wma;b.wav", 1, dir_.string() + "/");
  ASSERT_TRUE(music.Playing());
  std::vector<int32_t> order = {music.MusicIndex()};
  const auto deadline = std::chrono::steady_clock::now() + 4s;
  while (order.size() < 5 && std::chrono::steady_clock::now() < deadline) {
    music.PollNotifications();
    if (music.MusicIndex() != order.back()) order.push_back(music.MusicIndex());
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 0, 1, 0}));
}

// Catches the stream being dropped without the notification an aborted play gives.
TEST_F(DiskAudioTest, ClosingPlayingWmaNotifiesWithoutReachingTheEnd) {
  WriteSineWma(File("long.wma"), 550, 2.0);
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  audio.SetMusicFileName(File("long.wma"));
  audio.ArmMusicNotify();
  ASSERT_TRUE(audio.OpenMusic());
  ASSERT_TRUE(audio.PlayMusic());
  WaitForMixed(0.1);
  EXPECT_GT(audio.MusicPosition(), 0);
  audio.CloseMusic();
  EXPECT_TRUE(audio.TakeMusicNotify());
  EXPECT_EQ(audio.MusicPosition(), 0);
}

// Catches a decoded sound that does not reach the slot or skips the slot's -8 dB volume.
TEST_F(DiskAudioTest, WmaSoundEffectPlaysAtMinusEightDecibels) {
  WriteSineWma(File("tone.wma"), 441, 0.3);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    SoundEffectPlayer player(audio);
    ASSERT_TRUE(player.Add(0, File("tone.wma")));
    player.Play(0, false);
    WaitForMixed(0.6);
    EXPECT_FALSE(audio.SlotPlaying(0));
  }
  const auto left = Left();
  const Span span = Audible(left);
  EXPECT_NEAR(span.Seconds(), 0.32, 0.05);
  EXPECT_NEAR(Db(ToneAmplitude(left, span.first + kRate / 10, kRate / 10, 441) / kAmplitude), -8.0,
              1.0);
}

// 0.3 s decodes to 0.3 x 44100 stereo frames of four bytes: 52920 bytes, and the codec pads
// the last frame; 40000 is below it, 200000 well above.
TEST_F(DiskAudioTest, WmaSoundLargerThanTheBoundIsRefused) {
  WriteSineWma(File("tone.wma"), 441, 0.3);
  SetEnv("SDL_AUDIODRIVER", "dummy");
  for (const auto& [bound, loads] : {std::pair<int64_t, bool>{40000, false}, {200000, true}}) {
    SdlAudioOptions options;
    options.maxDecodedBytes = bound;
    SdlAudio audio(options);
    ASSERT_TRUE(audio.IsOpen());
    ASSERT_TRUE(audio.OpenSlot(0));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(audio.LoadSlot(0, File("tone.wma")), loads) << bound;
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("refused") != std::string::npos, !loads) << said;
  }
}

// Catches a cut header crashing the demuxer or leaving noise in the output.
TEST_F(DiskAudioTest, WmaWithItsHeaderCutIsSilent) {
  WriteSineWma(File("whole.wma"), 550, 0.5);
  std::ofstream(File("cut.wma"), std::ios::binary) << ReadAll(File("whole.wma")).substr(0, 200);
  {
    SdlAudio audio;
    ASSERT_TRUE(audio.IsOpen());
    ASSERT_TRUE(audio.OpenSlot(0));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(audio.LoadSlot(0, File("cut.wma")));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("vecsaver: sound " + File("cut.wma") + " cannot be played"),
              std::string::npos)
        << said;
    audio.SetMusicFileName(File("cut.wma"));
    EXPECT_FALSE(audio.OpenMusic());
    EXPECT_FALSE(audio.PlayMusic());
    WaitForMixed(0.2);
  }
  EXPECT_EQ(Audible(Left()).last, 0u);
}

// Catches a decoder that hangs or crashes on damaged packets: the music must still end
// with its notification, and the sound effect load must come back.
TEST_F(DiskAudioTest, WmaWithDamagedDataEndsAndNotifies) {
  WriteSineWma(File("whole.wma"), 550, 0.5);
  std::string bytes = ReadAll(File("whole.wma"));
  for (size_t i = bytes.size() / 3; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>((i * 7919) % 251);
  }
  std::ofstream(File("damaged.wma"), std::ios::binary) << bytes;
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  ASSERT_TRUE(audio.OpenSlot(0));
  ::testing::internal::CaptureStderr();
  audio.LoadSlot(0, File("damaged.wma"));
  ::testing::internal::GetCapturedStderr();
  audio.SetMusicFileName(File("damaged.wma"));
  audio.ArmMusicNotify();
  if (audio.OpenMusic()) {
    ASSERT_TRUE(audio.PlayMusic());
    EXPECT_TRUE(WaitForNotify(audio));
    EXPECT_GE(audio.MusicPosition(), audio.MusicLength());
  }
  audio.CloseMusic();
}

// --- files that must not hurt ---

struct BrokenCase {
  const char* name;
  std::string bytes;
};

std::string TruncatedWav() {
  std::string wav = "RIFF";
  PutLE(wav, 0x7FFFFFF0, 4);
  wav += "WAVEfmt ";
  PutLE(wav, 16, 4);
  PutLE(wav, 1, 2);
  PutLE(wav, 2, 2);
  PutLE(wav, kRate, 4);
  PutLE(wav, kRate * 4, 4);
  PutLE(wav, 4, 2);
  PutLE(wav, 16, 2);
  wav += "data";
  PutLE(wav, 0x7FFFFFC0, 4);  // claims 2 GB, holds 64 bytes
  wav += std::string(64, '\x10');
  return wav;
}

std::string ZeroChannelWav() {
  std::string wav = TruncatedWav();
  wav[22] = 0;  // channel count 0
  return wav;
}

class BrokenSoundTest : public DiskAudioTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenSoundTest, LoadsNothingOrSomethingHarmless) {
  const std::string path = File(std::string(GetParam().name));
  std::ofstream(path, std::ios::binary) << GetParam().bytes;
  SetEnv("SDL_AUDIODRIVER", "dummy");
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  SoundEffectPlayer player(audio);
  if (player.Add(0, path)) {
    player.Play(0, false);
    std::this_thread::sleep_for(50ms);
  }
  player.StopAll();
  audio.SetMusicFileName(path);
  if (audio.OpenMusic()) {
    audio.PlayMusic();
    std::this_thread::sleep_for(50ms);
    audio.CloseMusic();
  }
  EXPECT_FALSE(audio.PlayFile(path + ".missing", false));
}

std::vector<BrokenCase> BrokenCases() {
  std::vector<BrokenCase> cases = {
      {"empty.wav", ""},
      {"text.ogg", "this is not a sound"},
      {"truncated.wav", TruncatedWav()},
      {"nochannels.wav", ZeroChannelWav()},
      {"header.mid", OneNoteMidi().substr(0, 20)},
      {"text.wma", "this is not a sound either"},
      {"asf-guid-only.wma", std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11"
                                        "\xA6\xD9\x00\xAA\x00\x62\xCE\x6C",
                                        16)}};
  for (const char* name : {"garbage.mp3", "garbage.flac", "riff-only.wav", "nochannels.aiff"}) {
    std::ifstream in(std::string(VEC_TEST_DATA) + "/sound/" + name, std::ios::binary);
    cases.push_back({name, std::string(std::istreambuf_iterator<char>(in), {})});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenSoundTest, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST_F(DiskAudioTest, OversizedSoundFileIsRefused) {
  // 0.2 s of mono decodes to 0.2 x 44100 stereo frames of four bytes: 35280 bytes.
  WriteSineWav(File("tone.wav"), 440, 0.2);
  SetEnv("SDL_AUDIODRIVER", "dummy");
  struct Case {
    int64_t decodedBytes;
    bool loads;
  };
  for (const Case& c :
       {Case{1000, false}, Case{35000, false}, Case{35280, true}, Case{1 << 20, true}}) {
    SdlAudioOptions options;
    options.maxDecodedBytes = c.decodedBytes;
    SdlAudio audio(options);
    ASSERT_TRUE(audio.IsOpen());
    ASSERT_TRUE(audio.OpenSlot(0));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(audio.LoadSlot(0, File("tone.wav")), c.loads) << c.decodedBytes;
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (c.loads) {
      EXPECT_EQ(said, "") << c.decodedBytes;
    } else {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
      EXPECT_NE(said.find("vecsaver: sound " + File("tone.wav") + " refused"), std::string::npos)
          << said;
    }
  }
}

TEST_F(DiskAudioTest, TwoMinuteStereoLoopLoads) {
  // Two minutes of CD-quality stereo: a 21 MB file, and as much once decoded.
  const uint32_t bytes = 120u * kBytesPerSecond;
  std::string wav = "RIFF";
  PutLE(wav, 36 + bytes, 4);
  wav += "WAVEfmt ";
  PutLE(wav, 16, 4);
  PutLE(wav, 1, 2);  // PCM
  PutLE(wav, 2, 2);  // stereo
  PutLE(wav, kRate, 4);
  PutLE(wav, kBytesPerSecond, 4);
  PutLE(wav, 4, 2);
  PutLE(wav, 16, 2);
  wav += "data";
  PutLE(wav, bytes, 4);
  wav.append(bytes, '\0');
  std::ofstream(File("loop.wav"), std::ios::binary) << wav;
  SetEnv("SDL_AUDIODRIVER", "dummy");
  SdlAudio audio;
  ASSERT_TRUE(audio.IsOpen());
  ASSERT_TRUE(audio.OpenSlot(0));
  EXPECT_TRUE(audio.LoadSlot(0, File("loop.wav")));
  // Ten minutes is the default bound (about 106 MB decoded).
  EXPECT_EQ(SdlAudioOptions{}.maxDecodedBytes, int64_t{600} * 44100 * 2 * 2);
}

TEST_F(DiskAudioTest, OnlyOneOutputAtATime) {
  SetEnv("SDL_AUDIODRIVER", "dummy");
  SdlAudio first;
  ASSERT_TRUE(first.IsOpen());
  SdlAudio second;
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.OpenSlot(0));
}

TEST(SdlAudioWithoutDevice, RunsSilentlyAndSaysSoAtMostOnce) {
  SetEnv("SDL_AUDIODRIVER", "no-such-driver");
  ::testing::internal::CaptureStderr();
  {
    SdlAudio audio;
    EXPECT_FALSE(audio.IsOpen());
    SoundEffectPlayer player(audio);
    EXPECT_EQ(player.Mode(), SoundEffectPlayer::kModeFallback);
    player.Add(0, "/nowhere/a.wav");
    player.Play(0, true);
    player.StopAll();
    MusicPlayer music(audio);
    music.Start(true, "a.mp3;b.mp3", 1, "/nowhere/");
    EXPECT_FALSE(music.Playing());
    music.PollNotifications();
  }
  { SdlAudio again; }
  const std::string said = ::testing::internal::GetCapturedStderr();
  size_t count = 0;
  for (size_t at = said.find("no audio output"); at != std::string::npos;
       at = said.find("no audio output", at + 1)) {
    ++count;
  }
  EXPECT_LE(count, 1u);
  EXPECT_TRUE(SdlAudio::NoOutputReported());
}

}  // namespace
}  // namespace vec
