// The committed sample files in tests/data/picture, each with the result it must give.

#include <gtest/gtest.h>

#include "picture/Mask.h"
#include "picture/Picture.h"

namespace vec {
namespace {

std::string Sample(const char* name) {
  return std::string(VEC_TEST_DATA) + "/picture/" + name;
}

TEST(SampleFiles, EachGivesItsResult) {
  struct Case {
    const char* file;
    bool loaded;
    const char* error;  // prefix of the message
    int soundCount;
  };
  const Case cases[] = {
      {"sample.vep", true, "", 3},
      {"ends_after_weather.vep", true, "", 1},  // single sound only
      // Cut 100 bytes into slot 1: slot 0 whole, slot 1's name read (its numbers are not),
      // the single sound goes into slot 2.
      {"cut_in_sound_slots.vep", true, "", 3},
      {"bad_magic_case.vep", false, "Incorrect Project File!", 0},
      {"empty.vep", false, "Read beyond end of file", 0},
      {"cut_in_picture.vep", false, "Read beyond end of file", 0},
      {"bad_picture_jpeg.vep", false, "JPEG error: Not a JPEG file", 0},
  };
  for (const auto& c : cases) {
    Picture p;
    EXPECT_EQ(p.LoadFromFile(Sample(c.file)), c.loaded) << c.file;
    EXPECT_EQ(p.loaded, c.loaded) << c.file;
    EXPECT_EQ(p.LastError().rfind(c.error, 0), 0u) << c.file << ": " << p.LastError();
    EXPECT_EQ(p.SoundCount(), c.soundCount) << c.file;
  }
}

TEST(SampleFiles, SampleLoadsEveryField) {
  Picture p;
  ASSERT_TRUE(p.LoadFromFile(Sample("sample.vep")));
  EXPECT_EQ(p.Title, "Harbour at dusk");
  EXPECT_EQ(p.image.Width(), 64);
  EXPECT_EQ(p.image.Height(), 40);
  EXPECT_EQ(p.preview.Width(), 32);
  EXPECT_EQ(p.preview.Height(), 20);
  EXPECT_EQ(CountMaskValues(p.mask), (std::array<int64_t, 5>{1280, 320, 320, 320, 320}));
  EXPECT_EQ(p.waveSets[2].Scatter, 7);
  EXPECT_EQ(p.waveSets[2].Period, 180);
  EXPECT_EQ(p.waveSets[3].Mirror, 1);
  EXPECT_EQ(p.weather, (WeatherSettings{2, 400, 12, 80, 15, 6}));  // rain opacity default
  EXPECT_EQ(p.soundSlots[2], (SoundSlot{"surf.wav", 0, 0, 0}));
  ASSERT_EQ(p.objects.Count(), 2);
  EXPECT_EQ(p.objects[0].AnimSpeed, 11);
  EXPECT_EQ(p.objects[1].Opacity, 5);
  EXPECT_EQ(p.extraInfo.BuildScr.Filename, "Harbour Saver.scr");
  EXPECT_EQ(p.extraInfo.BuildScr.MusicFile, "waves.mid");
}

TEST(SampleFiles, PreviewLoadNeedsOnlyTheHead) {
  for (const char* f : {"sample.vep", "cut_in_picture.vep", "bad_picture_jpeg.vep"}) {
    Picture p;
    EXPECT_TRUE(p.LoadPreview(Sample(f), nullptr)) << f;
    EXPECT_EQ(p.preview.Width(), 32) << f;
  }
}

}  // namespace
}  // namespace vec
