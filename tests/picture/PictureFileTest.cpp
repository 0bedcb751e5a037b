// Loading picture files: the item order, the optional tail, and every way a file can be bad.

#include <gtest/gtest.h>

#include <fstream>

#include "picture/Mask.h"
#include "picture/Picture.h"
#include "picture/PictureFileReader.h"
#include "tests/picture/PictureTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace vec {
namespace {

using test::Bytes;
using test::SampleFile;

struct RecordingMessages : IPictureMessages {
  void ShowError(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

Bytes FullFile(const SampleFile& f) {
  Bytes b = f.Head();
  test::AppendSlot(b, "rain.wav", 1, 5, 20);
  test::AppendSlot(b, "gull.wav", 2, 30, 0);
  for (int i = 2; i < 8; ++i) test::AppendSlot(b, "", 0, 0, 0);
  b.Str("[Obj0]\r\nObjType=GIF\r\nFilename=bird.gif\r\n");
  b.Str("[BuildScr],Filename=sea.scr,Music=1");
  return b;
}

TEST(PictureFile, FullFileLoadsEveryItemInOrder) {
  SampleFile f;
  const Bytes b = FullFile(f);
  PictureFileReader loader;
  ASSERT_TRUE(loader.LoadFullFromMemory(b.data.data(), b.data.size()).ok());
  EXPECT_EQ(loader.Title, "Harbour");
  EXPECT_EQ(loader.Author, "A. Painter");
  EXPECT_EQ(loader.preview.Width(), 4);
  EXPECT_EQ(loader.preview.Height(), 2);
  EXPECT_EQ(loader.image.Width(), 8);
  EXPECT_EQ(loader.image.Height(), 4);
  ASSERT_EQ(loader.waveCount, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(loader.waves[k].Amplitude, 10 + k) << k;
    EXPECT_EQ(loader.waves[k].Scatter, k);
    EXPECT_EQ(loader.waves[k].Period, 360);
    EXPECT_EQ(loader.waves[k].Perspective, k == 2 ? 1 : 0);
    EXPECT_EQ(loader.waves[k].Mirror, k == 3 ? 1 : 0);
    EXPECT_EQ(loader.waves[k].Horizontal, 1);
    EXPECT_EQ(loader.waves[k].Vertical, 0);
  }
  EXPECT_EQ(loader.maskCodes, (std::vector<int32_t>{8, 4, 80, 161, 84}));
  EXPECT_EQ(loader.weather, (WeatherSettings{1, 300, 12, 80, 15, 0}));
  EXPECT_TRUE(loader.hasSoundSlots);
  EXPECT_EQ(loader.soundSlots[0], (SoundSlot{"rain.wav", 1, 5, 20}));
  EXPECT_EQ(loader.soundSlots[1], (SoundSlot{"gull.wav", 2, 30, 0}));
  EXPECT_EQ(loader.objects, "[Obj0]\r\nObjType=GIF\r\nFilename=bird.gif\r\n");
  EXPECT_EQ(loader.buildInfo, "[BuildScr],Filename=sea.scr,Music=1");
}

TEST(PictureFile, JpegPixelsKeepTheirPlace) {
  SampleFile f;
  const Bytes b = FullFile(f);
  PictureFileReader loader;
  ASSERT_TRUE(loader.LoadFullFromMemory(b.data.data(), b.data.size()).ok());
  const Pixel left = loader.image.GetPixel(0, 0), right = loader.image.GetPixel(7, 3);
  EXPECT_GT(PixelR(left), 200);
  EXPECT_LT(PixelB(left), 60);
  EXPECT_GT(PixelB(right), 200);
  EXPECT_LT(PixelR(right), 60);
}

TEST(PictureFile, FileEndingAfterWeatherLoadsWithoutTail) {
  SampleFile f;
  const Bytes b = f.Head();
  PictureFileReader loader;
  ASSERT_TRUE(loader.LoadFullFromMemory(b.data.data(), b.data.size()).ok());
  EXPECT_FALSE(loader.hasSoundSlots);
  EXPECT_EQ(loader.soundSlots, (std::array<SoundSlot, 8>{}));
  EXPECT_TRUE(loader.objects.empty());
  EXPECT_TRUE(loader.buildInfo.empty());
}

TEST(PictureFile, CutInsideTheTailKeepsWholeItemsBeforeTheCut) {
  // The eight slots are one block read; a cut keeps every byte read before it (the rest of
  // the records stays zero), and a text cut short keeps its characters before the cut.
  SampleFile f;
  const Bytes full = FullFile(f);
  const size_t head = f.Head().data.size();
  const std::string objectsText = "[Obj0]\r\nObjType=GIF\r\nFilename=bird.gif\r\n";
  const SoundSlot rain{"rain.wav", 1, 5, 20}, gull{"gull.wav", 2, 30, 0};
  struct Case {
    const char* name;
    size_t length;
    SoundSlot slot0, slot1;
    std::string objects, buildInfo;
  };
  const Case cases[] = {
      // Two bytes of PlayMode (1) are there: its low byte is read.
      {"inside slot 0's numbers", head + 258, {"rain.wav", 1, 0, 0}, {}, "", ""},
      {"inside slot 0's name", head + 5, {"rain", 0, 0, 0}, {}, "", ""},
      {"inside slot 1", head + 268 + 10, rain, {"gull.wav", 0, 0, 0}, "", ""},
      {"inside slot 1's first interval", head + 268 + 261, rain, {"gull.wav", 2, 30, 0}, "", ""},
      {"after the slots", head + 8 * 268, rain, gull, "", ""},
      {"inside the objects text", head + 8 * 268 + 10, rain, gull, "[Obj0]", ""},
      {"inside the build text", full.data.size() - 3, rain, gull, objectsText,
       "[BuildScr],Filename=sea.scr,Musi"},
  };
  for (const auto& c : cases) {
    PictureFileReader loader;
    ASSERT_TRUE(loader.LoadFullFromMemory(full.data.data(), c.length).ok()) << c.name;
    EXPECT_EQ(loader.soundSlots[0], c.slot0) << c.name;
    EXPECT_EQ(loader.soundSlots[1], c.slot1) << c.name;
    for (size_t i = 2; i < 8; ++i) EXPECT_EQ(loader.soundSlots[i], SoundSlot{}) << c.name;
    EXPECT_EQ(loader.objects, c.objects) << c.name;
    EXPECT_EQ(loader.buildInfo, c.buildInfo) << c.name;
  }
}

TEST(PictureFile, FileShorterThanTheMagicFailsOnTheRead) {
  // Reading the magic is a read like any other: a short one is a read error, and only eight
  // bytes that differ from "VE060697" make an incorrect picture file.
  const std::vector<uint8_t> shortFile{'V', 'E', '0', '6', '0'};
  PictureFileReader loader;
  const Status status = loader.LoadFullFromMemory(shortFile.data(), shortFile.size());
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ErrorCode::Truncated);
  EXPECT_EQ(status.error().message, "Read beyond end of file");
  const std::vector<uint8_t> wrong{'V', 'E', '0', '6', '0', '6', '9', '8'};
  const Status wrongStatus = loader.LoadPreviewFromMemory(wrong.data(), wrong.size());
  ASSERT_FALSE(wrongStatus.ok());
  EXPECT_EQ(wrongStatus.error().message, "Incorrect Project File!");
}

TEST(PictureFile, DamagedFilesFailWithNamedErrors) {
  SampleFile f;
  const Bytes good = f.Head();
  auto patched = [&](size_t at, int32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b.data[at + i] = static_cast<uint8_t>(uint32_t(value) >> (8 * i));
    return b.data;
  };
  const size_t previewAt = 8 + 4 + 7 + 4 + 10;
  const size_t wavesAt = previewAt + 4 + f.preview.size();
  const size_t maskAt = wavesAt + 4 + 4 * 32;
  std::vector<uint8_t> lowerMagic = good.data;
  lowerMagic[0] = 'v';
  std::vector<uint8_t> badPreview = good.data;
  badPreview[previewAt + 4] = 0x00;  // no longer a JPEG start
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ErrorCode code;
    std::string message;
  };
  const Case cases[] = {
      {"empty", {}, ErrorCode::Truncated, "Read beyond end of file"},
      {"magic differs in case", lowerMagic, ErrorCode::BadMagic, "Incorrect Project File!"},
      {"cut inside magic",
       {good.data.begin(), good.data.begin() + 5},
       ErrorCode::Truncated,
       "Read beyond end of file"},
      {"cut inside title",
       {good.data.begin(), good.data.begin() + 14},
       ErrorCode::Truncated,
       "Read beyond end of file"},
      {"title longer than the file", patched(8, 0x7FFFFFF0), ErrorCode::Truncated,
       "Read beyond end of file"},
      {"negative title length", patched(8, -1), ErrorCode::BadSize, ""},
      {"preview not a JPEG", badPreview, ErrorCode::BadJpeg, ""},
      {"huge wave count", patched(wavesAt, 0x40000000), ErrorCode::Truncated,
       "Read beyond end of file"},
      {"negative wave count", patched(wavesAt, -4), ErrorCode::BadSize, ""},
      {"huge mask count", patched(maskAt, 0x3FFFFFFF), ErrorCode::Truncated,
       "Read beyond end of file"},
      {"cut inside weather",
       {good.data.begin(), good.data.end() - 1},
       ErrorCode::Truncated,
       "Read beyond end of file"},
  };
  for (const auto& c : cases) {
    PictureFileReader loader;
    const Status status = loader.LoadFullFromMemory(c.bytes.data(), c.bytes.size());
    ASSERT_FALSE(status.ok()) << c.name;
    EXPECT_EQ(status.error().code, c.code) << c.name << ": " << status.error().message;
    if (!c.message.empty()) {
      EXPECT_EQ(status.error().message, c.message) << c.name;
    }
    EXPECT_FALSE(status.error().message.empty()) << c.name;
  }
}

TEST(PictureFile, WaveCountAboveFourUsesTheFirstFour) {
  SampleFile f;
  Bytes b;
  b.Raw("VE060697").Str("").Str("").Blob(f.preview).I32(6);
  for (int k = 0; k < 6; ++k) test::AppendWave(b, {100 + k, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  b.I32(2).I32(8).I32(4).Blob(f.picture).Str("");
  b.Zeros(24);
  PictureFileReader loader;
  ASSERT_TRUE(loader.LoadFullFromMemory(b.data.data(), b.data.size()).ok());
  EXPECT_EQ(loader.waveCount, 6);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(loader.waves[k].Amplitude, 100 + k);
}

TEST(PictureFile, PreviewLoadReadsOnlyTheFirstItems) {
  SampleFile f;
  Bytes b = f.Head();
  b.data.resize(8 + 4 + 7 + 4 + 10 + 4 + f.preview.size());  // nothing after the preview
  PictureFileReader loader;
  ASSERT_TRUE(loader.LoadPreviewFromMemory(b.data.data(), b.data.size()).ok());
  EXPECT_EQ(loader.preview.Width(), 4);
  EXPECT_TRUE(loader.image.Empty());
  PictureFileReader full;
  EXPECT_FALSE(full.LoadFullFromMemory(b.data.data(), b.data.size()).ok());
}

// --- Picture

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing::TestScratch() + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST(Picture, LoadsFromFileWithMaskAndDesignSize) {
  SampleFile f;
  const std::string path = WriteTemp("project_full.vep", FullFile(f).data);
  Picture p;
  ASSERT_TRUE(p.LoadFromFile(path));
  EXPECT_TRUE(p.loaded);
  EXPECT_EQ(p.fileName, path);
  EXPECT_EQ(p.designWidth, 8);
  EXPECT_EQ(p.designHeight, 4);
  EXPECT_EQ(p.mask.Width(), 8);
  EXPECT_EQ(p.mask.Height(), 4);
  EXPECT_EQ(CountMaskValues(p.mask), (std::array<int64_t, 5>{8, 16, 0, 0, 8}));
  EXPECT_EQ(p.mask.At(0, 1), 1);
  EXPECT_EQ(p.mask.At(7, 3), 4);
  EXPECT_EQ(p.weather.Opacity, 9);  // snow without opacity
  EXPECT_EQ(p.SoundCount(), 2);
  ASSERT_EQ(p.objects.Count(), 1);
  EXPECT_EQ(p.objects[0].Filename, "bird.gif");
  EXPECT_EQ(p.extraInfo.BuildScr.Filename, "sea.scr");
  EXPECT_TRUE(p.extraInfo.BuildScr.Music);
  EXPECT_TRUE(p.extraInfo.BuildExe.Sound);
}

TEST(Picture, WeatherDefaults) {
  struct Case {
    int32_t kind, opacity, expected;
  };
  for (const Case c :
       {Case{1, 0, 9}, Case{2, 0, 6}, Case{0, 0, 0}, Case{1, 4, 4}, Case{2, 10, 10}}) {
    SampleFile f;
    f.weather = {c.kind, 10, 10, 90, 10, c.opacity};
    const Bytes b = f.Head();
    Picture p;
    ASSERT_TRUE(p.LoadFromMemory(b.data.data(), b.data.size()));
    EXPECT_EQ(p.weather.Opacity, c.expected) << c.kind << "/" << c.opacity;
  }
}

TEST(Picture, SingleSoundRule) {
  struct Case {
    const char* name;
    std::string single;
    std::vector<std::string> slots;
    int expectedSlot;  // -1: no slot gets it
    int soundCount;
  };
  const Case cases[] = {
      {"into the first free slot", "wave.wav", {"a.wav", "b.wav"}, 2, 3},
      {"no sound in any case", "<No Sound>", {"a.wav"}, -1, 1},
      {"upper-case marker", "<NO SOUND>", {}, -1, 0},
      {"empty", "", {}, -1, 0},
      {"gap: first empty slot wins", "w.wav", {"a.wav", "", "c.wav"}, 1, 3},
      {"all eight used: dropped", "w.wav", {"1", "2", "3", "4", "5", "6", "7", "8"}, -1, 8},
  };
  for (const auto& c : cases) {
    SampleFile f;
    f.singleSound = c.single;
    Bytes b = f.Head();
    for (int i = 0; i < 8; ++i)
      test::AppendSlot(b, i < int(c.slots.size()) ? c.slots[i] : "", 1, 7, 9);
    b.Str("").Str("");
    Picture p;
    ASSERT_TRUE(p.LoadFromMemory(b.data.data(), b.data.size())) << c.name;
    EXPECT_TRUE(p.singleSound.empty());
    EXPECT_EQ(p.SoundCount(), c.soundCount) << c.name;
    for (int i = 0; i < 8; ++i) {
      const SoundSlot& s = p.soundSlots[i];
      if (i == c.expectedSlot) {
        EXPECT_EQ(s, (SoundSlot{c.single, 0, 7, 9})) << c.name;
      } else {
        EXPECT_EQ(s.FileName, i < int(c.slots.size()) ? c.slots[i] : "") << c.name << " " << i;
        EXPECT_EQ(s.PlayMode, 1) << c.name;
      }
    }
  }
}

TEST(Picture, LongSingleSoundIsCutTo255) {
  SampleFile f;
  f.singleSound = std::string(300, 'x');
  const Bytes b = f.Head();
  Picture p;
  ASSERT_TRUE(p.LoadFromMemory(b.data.data(), b.data.size()));
  EXPECT_EQ(p.soundSlots[0].FileName, std::string(255, 'x'));
}

TEST(Picture, FailedReloadLeavesNothingOfThePreviousPicture) {
  SampleFile f;
  const Bytes good = FullFile(f);
  Picture p;
  ASSERT_TRUE(p.LoadFromMemory(good.data.data(), good.data.size()));
  p.SetSpeed(150);
  const std::vector<uint8_t> bad{'V', 'E', '0'};
  EXPECT_FALSE(p.LoadFromMemory(bad.data(), bad.size()));
  EXPECT_FALSE(p.loaded);
  EXPECT_EQ(p.LastError(), "Read beyond end of file");
  EXPECT_TRUE(p.image.Empty());
  EXPECT_EQ(p.SoundCount(), 0);
  EXPECT_EQ(p.objects.Count(), 0);
  EXPECT_TRUE(p.Title.empty());
  EXPECT_EQ(p.Speed(), 150);
}

TEST(Picture, MissingFileFailsWithoutMessage) {
  Picture p;
  EXPECT_FALSE(p.LoadFromFile(testing::TestScratch() + "no_such_picture.vep"));
  EXPECT_FALSE(p.loaded);
}

TEST(Picture, MaskOfAnotherSizeIsFittedToThePicture) {
  SampleFile f;
  Bytes b;
  b.Raw("VE060697").Str("").Str("").Blob(f.preview).I32(0);
  b.I32(3).I32(4).I32(2).I32(81);  // 4 x 2 mask, all area 1
  b.Blob(f.picture).Str("").Zeros(24);
  Picture p;
  ASSERT_TRUE(p.LoadFromMemory(b.data.data(), b.data.size()));
  EXPECT_EQ(p.mask.Width(), 8);
  EXPECT_EQ(p.mask.Height(), 4);
  EXPECT_EQ(CountMaskValues(p.mask)[1], 32);
}

TEST(Picture, PreviewLoadReportsThroughTheMessageInterface) {
  SampleFile f;
  const std::string good = WriteTemp("preview_good.vep", f.Head().data);
  std::vector<uint8_t> bad = f.Head().data;
  bad[7] = '8';
  const std::string badPath = WriteTemp("preview_bad.vep", bad);

  RecordingMessages messages;
  Picture p;
  ASSERT_TRUE(p.LoadPreview(good, &messages));
  EXPECT_TRUE(p.loaded);
  EXPECT_EQ(p.Title, "Harbour");
  EXPECT_EQ(p.preview.Width(), 4);
  EXPECT_TRUE(p.image.Empty());
  EXPECT_TRUE(messages.shown.empty());

  EXPECT_FALSE(p.LoadPreview(badPath, &messages));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], "File: " + badPath + "\r\nIncorrect Project File!");
}

}  // namespace
}  // namespace vec
