#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "graphics/ImageFile.h"
#include "picture/PictureFileReader.h"
#include "studio/model/MaskTools.h"
#include "studio/model/PictureDocument.h"
#include "tests/studio/StudioTestSupport.h"

namespace vec::studio {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<PictureDocument> Open(const std::vector<uint8_t>& bytes) {
  auto d = PictureDocument::FromPictureFile(bytes);
  EXPECT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
  return d.ok() ? d.release_value() : nullptr;
}

PictureFileReader Read(const std::vector<uint8_t>& bytes) {
  PictureFileReader r;
  EXPECT_TRUE(r.LoadFullFromMemory(bytes.data(), bytes.size()).ok());
  return r;
}

std::vector<uint8_t> ItemBytes(const std::vector<uint8_t>& bytes, const ItemSpan& s) {
  return {bytes.begin() + static_cast<ptrdiff_t>(s.begin),
          bytes.begin() + static_cast<ptrdiff_t>(s.end)};
}

TEST(PictureDocumentTest, OpenAndSaveOfEveryPictureFileInTheTestDataIsByteIdentical) {
  int opened = 0, refused = 0;
  for (const char* folder : {"/picture", "/fuzz/fuzz_picture"}) {
    for (const auto& entry : fs::directory_iterator(std::string(VEC_TEST_DATA) + folder)) {
      if (!entry.is_regular_file()) continue;
      auto bytes = ReadWholeFile(entry.path().string());
      ASSERT_TRUE(bytes.ok());
      auto d = PictureDocument::FromPictureFile(bytes.value());
      if (!d.ok()) {
        EXPECT_FALSE(d.error().message.empty()) << entry.path();
        ++refused;
        continue;
      }
      ++opened;
      EXPECT_FALSE(d.value()->Modified());
      EXPECT_TRUE(d.value()->FileBytes() == bytes.value()) << entry.path();
    }
  }
  // sample, ends_after_weather and cut_in_sound_slots open at least; the damaged ones
  // (wrong magic, cut in the picture, bad JPEG, empty) are refused with a message.
  EXPECT_GE(opened, 3);
  EXPECT_GE(refused, 4);
}

// One edit per record: every other item of the file keeps its bytes.
TEST(PictureDocumentTest, AnEditOfOneRecordKeepsEveryOtherItemByteForByte) {
  const std::vector<uint8_t> original = test::SampleFile();
  struct Case {
    const char* name;
    PictureItem item;
    std::function<void(PictureDocument&)> edit;
  };
  const Case cases[] = {
      {"title", PictureItem::Title,
       [](PictureDocument& d) { d.SetRecord({RecordKind::Title}, std::string("Pier")); }},
      {"author", PictureItem::Author,
       [](PictureDocument& d) { d.SetRecord({RecordKind::Author}, std::string("B")); }},
      {"weather", PictureItem::Weather,
       [](PictureDocument& d) {
         d.SetRecord({RecordKind::Weather}, WeatherSettings{kWeatherRain, 10, 3, 80, 20, 5});
       }},
      {"single sound", PictureItem::SingleSound,
       [](PictureDocument& d) { d.SetRecord({RecordKind::SingleSound}, std::string("x.wav")); }},
      {"sound slot", PictureItem::SoundSlots,
       [](PictureDocument& d) {
         d.SetRecord({RecordKind::SoundSlot, 5}, SoundSlot{"bell.wav", 2, 30, 0});
       }},
      {"objects", PictureItem::Objects,
       [](PictureDocument& d) { d.SetRecord({RecordKind::Objects}, std::string("")); }},
      {"build information", PictureItem::BuildInfo,
       [](PictureDocument& d) { d.SetRecord({RecordKind::BuildInfo}, std::string("")); }},
      {"mask", PictureItem::Mask,
       [](PictureDocument& d) {
         MaskEdit edit = d.BeginMaskEdit();
         PaintSegment(edit, {3, 3}, {9, 3}, 1, 4);
         d.CommitMaskEdit(edit);
       }},
  };
  for (const Case& c : cases) {
    auto d = Open(original);
    ASSERT_TRUE(d);
    c.edit(*d);
    EXPECT_TRUE(d->Modified()) << c.name;
    const std::vector<uint8_t> saved = d->FileBytes();
    const PictureFileReader before = Read(original), after = Read(saved);
    for (size_t i = 0; i < kPictureItemCount; ++i) {
      const bool edited = static_cast<PictureItem>(i) == c.item;
      EXPECT_EQ(ItemBytes(original, before.items[i]) == ItemBytes(saved, after.items[i]), !edited)
          << c.name << ", item " << i;
    }
  }
}

TEST(PictureDocumentTest, AnEditOfOneWaveChangesOnlyThatWavesBytes) {
  const std::vector<uint8_t> original = test::SampleFile();
  auto d = Open(original);
  ASSERT_TRUE(d);
  WaveSet wave = d->Stored().waves[1];
  wave.Amplitude = 77;
  d->SetRecord({RecordKind::Wave, 1}, wave);
  EXPECT_EQ(d->Live().waveSets[1].Amplitude, 77);
  const std::vector<uint8_t> saved = d->FileBytes();
  ASSERT_EQ(saved.size(), original.size());
  // The record of area 2 is the second behind the count; its first field is Amplitude.
  const size_t amplitudeAt = Read(original).Item(PictureItem::WaveSets).begin + 4 + 32;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (i >= amplitudeAt && i < amplitudeAt + 4) continue;
    ASSERT_EQ(saved[i], original[i]) << "byte " << i;
  }
  int32_t stored;
  std::memcpy(&stored, &saved[amplitudeAt], 4);
  EXPECT_EQ(stored, 77);
}

TEST(PictureDocumentTest, UndoingEveryEditSavesTheFileAsItWas) {
  const std::vector<uint8_t> original = test::SampleFile();
  auto d = Open(original);
  ASSERT_TRUE(d);
  d->SetRecord({RecordKind::Title}, std::string("Other"));
  MaskEdit edit = d->BeginMaskEdit();
  PaintSegment(edit, {0, 0}, {63, 0}, 3, 2);
  d->CommitMaskEdit(edit);
  EXPECT_NE(d->FileBytes(), original);
  while (d->Undo()) {
  }
  EXPECT_FALSE(d->Modified());
  EXPECT_EQ(d->FileBytes(), original);
}

TEST(PictureDocumentTest, KeepsTheBytesTheWriterWouldNotWriteAgain) {
  PictureFileContent c = test::SampleContent(32, 20);
  c.waves.resize(5);
  c.waves[4].Amplitude = 99;  // a fifth record, which drives no area
  std::array<ItemSpan, kPictureItemCount> items{};
  std::vector<uint8_t> file = WritePictureFile(c, &items);
  // Characters behind the end of slot 0's name ("surf.wav"), and bytes behind the last item.
  const size_t slot0 = items[static_cast<size_t>(PictureItem::SoundSlots)].begin;
  std::memcpy(&file[slot0 + 1 + 8], "junk", 4);
  for (uint8_t b : {0xDE, 0xAD, 0xBE, 0xEF}) file.push_back(b);

  auto d = Open(file);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->FileBytes(), file);

  d->SetRecord({RecordKind::Title}, std::string("Kept"));
  WaveSet wave = d->Stored().waves[0];
  wave.Cycles = 9;
  d->SetRecord({RecordKind::Wave, 0}, wave);
  const std::vector<uint8_t> saved = d->FileBytes();
  const PictureFileReader r = Read(saved);
  EXPECT_EQ(r.Title, "Kept");
  EXPECT_EQ(r.waveCount, 5);
  EXPECT_EQ(r.waves[0].Cycles, 9);
  const size_t waves = r.Item(PictureItem::WaveSets).begin;
  int32_t fifthAmplitude;
  std::memcpy(&fifthAmplitude, &saved[waves + 4 + 4 * 32], 4);
  EXPECT_EQ(fifthAmplitude, 99);
  const size_t savedSlot0 = r.Item(PictureItem::SoundSlots).begin;
  EXPECT_EQ(std::memcmp(&saved[savedSlot0 + 1 + 8], "junk", 4), 0);
  EXPECT_EQ(std::vector<uint8_t>(saved.end() - 4, saved.end()),
            (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));

  // An edit of slot 0 itself writes it afresh.
  d->SetRecord({RecordKind::SoundSlot, 0}, SoundSlot{"surf.wav", 1, 2, 3});
  const std::vector<uint8_t> again = d->FileBytes();
  const size_t againSlot0 = Read(again).Item(PictureItem::SoundSlots).begin;
  EXPECT_EQ(again[againSlot0 + 1 + 8], 0);
}

TEST(PictureDocumentTest, AFileEndingAfterTheWeatherGetsItsTailWhenASoundIsAdded) {
  auto bytes = ReadWholeFile(std::string(VEC_TEST_DATA) + "/picture/ends_after_weather.vep");
  ASSERT_TRUE(bytes.ok());
  auto d = Open(bytes.value());
  ASSERT_TRUE(d);
  d->SetRecord({RecordKind::Title}, std::string("No tail yet"));
  EXPECT_FALSE(Read(d->FileBytes()).hasSoundSlots);
  d->SetRecord({RecordKind::SoundSlot, 0}, SoundSlot{"rain.wav", 0, 0, 0});
  const PictureFileReader r = Read(d->FileBytes());
  EXPECT_TRUE(r.hasSoundSlots);
  EXPECT_EQ(r.soundSlots[0].FileName, "rain.wav");
  EXPECT_TRUE(r.Item(PictureItem::BuildInfo).complete);
}

TEST(PictureDocumentTest, AFileCutInItsSoundSlotsIsSavedWholeOnceEdited) {
  auto bytes = ReadWholeFile(std::string(VEC_TEST_DATA) + "/picture/cut_in_sound_slots.vep");
  ASSERT_TRUE(bytes.ok());
  auto d = Open(bytes.value());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->FileBytes(), bytes.value());
  d->SetRecord({RecordKind::Author}, std::string("Someone"));
  const std::vector<uint8_t> saved = d->FileBytes();
  const PictureFileReader r = Read(saved);
  EXPECT_TRUE(r.Item(PictureItem::SoundSlots).complete);
  EXPECT_TRUE(r.Item(PictureItem::BuildInfo).complete);
  EXPECT_EQ(r.readEnd, saved.size());
  EXPECT_EQ(r.Author, "Someone");
}

TEST(PictureDocumentTest, SavingMakesTheSavedFileTheOneLaterSavesKeepRecordsFrom) {
  auto d = Open(test::SampleFile());
  ASSERT_TRUE(d);
  MaskEdit edit = d->BeginMaskEdit();
  PaintSegment(edit, {5, 5}, {20, 5}, 3, 3);
  d->CommitMaskEdit(edit);
  const std::vector<uint8_t> first = d->FileBytes();
  d->MarkSaved(first);
  EXPECT_FALSE(d->Modified());
  EXPECT_EQ(d->FileBytes(), first);
  d->SetRecord({RecordKind::Title}, std::string("Second"));
  const std::vector<uint8_t> second = d->FileBytes();
  EXPECT_EQ(ItemBytes(first, Read(first).Item(PictureItem::Mask)),
            ItemBytes(second, Read(second).Item(PictureItem::Mask)));
  d->Undo();
  EXPECT_FALSE(d->Modified());
}

TEST(PictureDocumentTest, MaskEditsAreUndoneAndRedone) {
  auto d = Open(test::SampleFile());
  ASSERT_TRUE(d);
  const AreaMask opened = d->Mask();
  MaskEdit edit = d->BeginMaskEdit();
  PaintSegment(edit, {10, 10}, {50, 10}, 5, 2);
  const Rect changed = d->CommitMaskEdit(edit);
  EXPECT_EQ(test::PixelsOf(d->Mask(), 2), test::HandWorkedStroke());
  const AreaMask painted = d->Mask();
  auto undone = d->Undo();
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->mask, changed);
  EXPECT_EQ(d->Mask(), opened);
  d->Redo();
  EXPECT_EQ(d->Mask(), painted);
}

TEST(PictureDocumentTest, AnEditThatChangesNothingMakesNoStep) {
  auto d = Open(test::SampleFile());
  ASSERT_TRUE(d);
  MaskEdit edit = d->BeginMaskEdit();
  FloodFill(edit, {0, 39}, 1);  // the lower half is area 1 already
  EXPECT_TRUE(d->CommitMaskEdit(edit).IsEmpty());
  d->SetRecord({RecordKind::Title}, std::string("Harbour"));
  EXPECT_FALSE(d->History().CanUndo());
  EXPECT_FALSE(d->Modified());
}

TEST(PictureDocumentTest, WeatherIsStoredAsSetAndShownWithItsDefaultOpacity) {
  auto d = Open(test::SampleFile());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Stored().weather.Opacity, 0);
  EXPECT_EQ(d->Live().weather.Opacity, 9);
  d->SetRecord({RecordKind::Weather}, WeatherSettings{kWeatherRain, 50, 12, 70, 30, 0});
  EXPECT_EQ(d->Live().weather.Opacity, 6);
  EXPECT_EQ(d->Stored().weather.Opacity, 0);
  EXPECT_EQ(d->Live().weather.Angle, 70);
}

TEST(PictureDocumentTest, ANewPictureFromAJpegPhotoKeepsItsBytes) {
  auto bytes = ReadWholeFile(std::string(VEC_TEST_DATA) + "/images/picture64x40.jpg");
  ASSERT_TRUE(bytes.ok());
  auto photo = LoadImageFromMemory(bytes->data(), bytes->size());
  ASSERT_TRUE(photo.ok());
  auto d = PictureDocument::FromPhoto(bytes.value(), photo.value(), "Bay");
  ASSERT_TRUE(d.ok()) << d.error().message;
  PictureDocument& doc = *d.value();
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(doc.Stored().pictureJpeg, bytes.value());
  EXPECT_EQ(doc.Width(), 64);
  EXPECT_EQ(doc.Height(), 40);
  EXPECT_EQ(doc.Live().preview.Width(), 160);
  EXPECT_EQ(doc.Live().preview.Height(), 100);
  EXPECT_TRUE(test::PixelsOf(doc.Mask(), 0).size() == 64u * 40u);
  EXPECT_EQ(doc.Stored().waves[3], NewPictureWaves()[3]);
  EXPECT_EQ(doc.Stored().Title, "Bay");
  // What is saved is what the show reads.
  Picture shown;
  const std::vector<uint8_t> file = doc.FileBytes();
  ASSERT_TRUE(shown.LoadFromMemory(file.data(), file.size()));
  EXPECT_EQ(shown.image, doc.Live().image);
  doc.MarkSaved(file);
  EXPECT_FALSE(doc.Modified());
}

TEST(PictureDocumentTest, APhotoThatIsNotAJpegIsEncoded) {
  auto bytes = ReadWholeFile(std::string(VEC_TEST_DATA) + "/images/picture64x40.bmp");
  ASSERT_TRUE(bytes.ok());
  auto photo = LoadImageFromMemory(bytes->data(), bytes->size());
  ASSERT_TRUE(photo.ok());
  auto d = PictureDocument::FromPhoto(bytes.value(), photo.value(), "");
  ASSERT_TRUE(d.ok());
  EXPECT_EQ(SniffImageFormat(d.value()->Stored().pictureJpeg.data(),
                             d.value()->Stored().pictureJpeg.size()),
            ImageFormat::Jpeg);
}

TEST(PictureDocumentTest, APhotoTooLargeForTheFormatIsRefusedWithAMessage) {
  const BlendBitmap wide(kMaxImageDimension + 1, 1);
  auto d = PictureDocument::FromPhoto({}, wide, "");
  ASSERT_FALSE(d.ok());
  EXPECT_EQ(d.error().code, ErrorCode::TooLarge);
  EXPECT_NE(d.error().message.find("too large"), std::string::npos);
}

}  // namespace
}  // namespace vec::studio
