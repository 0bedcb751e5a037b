// The writer and the loader hold each other to the same layout.

#include <gtest/gtest.h>

#include "base/CommaText.h"
#include "picture/Mask.h"
#include "picture/PictureFileReader.h"
#include "picture/PictureWriter.h"
#include "tests/picture/PictureTestSupport.h"

namespace vec {
namespace {

PictureFileContent SampleContent() {
  test::SampleFile f;
  PictureFileContent c;
  c.Title = "Harbour";
  c.Author = "A. Painter";
  c.previewJpeg = f.preview;
  c.pictureJpeg = f.picture;
  for (int k = 0; k < 4; ++k) {
    WaveSet& w = c.waves[k];
    w.Amplitude = 10 + k;
    w.Cycles = 3;
    w.PhaseStep = 5;
    w.Forward = 1;
    w.Horizontal = 1;
    w.Perspective = k == 2;
    w.Period = 360;
    w.Scatter = k;
    w.Mirror = k == 3;
  }
  c.maskValues = {8, 4, 80, 161, 84};
  c.weather = {1, 300, 12, 80, 15, 0};
  return c;
}

TEST(PictureWriter, HeadIsByteForByteTheFileLayout) {
  PictureFileContent c = SampleContent();
  c.withTail = false;
  EXPECT_EQ(WritePictureFile(c), test::SampleFile{}.Head().data);
}

TEST(PictureWriter, TailIsByteForByteTheFileLayout) {
  PictureFileContent c = SampleContent();
  c.soundSlots[0] = {"rain.wav", 1, 5, 20};
  c.objects = "[Obj0]\r\nObjType=IMG\r\n";
  c.buildInfo = "[BuildExe],Sound=0";
  test::Bytes expected = test::SampleFile{}.Head();
  test::AppendSlot(expected, "rain.wav", 1, 5, 20);
  for (int i = 1; i < 8; ++i) test::AppendSlot(expected, "", 0, 0, 0);
  expected.Str("[Obj0]\r\nObjType=IMG\r\n").Str("[BuildExe],Sound=0");
  EXPECT_EQ(WritePictureFile(c), expected.data);
}

TEST(PictureWriter, RoundTripThroughThePicture) {
  PictureFileContent c = SampleContent();
  c.singleSound = "surf.wav";
  c.soundSlots[0] = {"rain.wav", 1, 5, 20};
  c.objects =
      "[Obj0]\r\nObjType=GIF\r\nFilename=bird.gif\r\n[Obj1]\r\nObjType=IMG\r\nFilename=leaf."
      "bmp\r\n";
  c.buildInfo = JoinCommaText({"[BuildScr]", "Filename=My Sea.scr", "MusicFile=a,b.mid", "Music=1",
                               "[BuildExe]", "Sound=0"});
  const std::vector<uint8_t> bytes = WritePictureFile(c);
  Picture p;
  ASSERT_TRUE(p.LoadFromMemory(bytes.data(), bytes.size(), "x.vep")) << p.LastError();
  EXPECT_EQ(p.Title, c.Title);
  EXPECT_EQ(p.Author, c.Author);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(p.waveSets[k], c.waves[k]);
  EXPECT_EQ(p.weather.Count, 300);
  EXPECT_EQ(p.weather.Opacity, 9);
  EXPECT_EQ(p.soundSlots[0], c.soundSlots[0]);
  EXPECT_EQ(p.soundSlots[1], (SoundSlot{"surf.wav", 0, 0, 0}));
  EXPECT_EQ(EncodeMask(p.mask), c.maskValues);
  ASSERT_EQ(p.objects.Count(), 2);
  EXPECT_EQ(p.objects[1].Filename, "leaf.bmp");
  EXPECT_EQ(p.extraInfo.BuildScr.Filename, "My Sea.scr");
  EXPECT_EQ(p.extraInfo.BuildScr.MusicFile, "a,b.mid");
  EXPECT_TRUE(p.extraInfo.BuildScr.Music);
  EXPECT_FALSE(p.extraInfo.BuildExe.Sound);
}

TEST(PictureWriter, CommaTextQuotesWhatTheSplitterWouldBreak) {
  const std::vector<std::string> lines{"[BuildScr]", "A=b c", "Q=\"x\"", "C=1,2", "plain"};
  const std::string text = JoinCommaText(lines);
  EXPECT_EQ(text, "[BuildScr],\"A=b c\",\"Q=\"\"x\"\"\",\"C=1,2\",plain");
  EXPECT_EQ(SplitCommaText(text), lines);
}

}  // namespace
}  // namespace vec
