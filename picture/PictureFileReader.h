#pragma once
// Reads one picture file (.vep) into its own fields: the two decoded JPEG images, the wave
// records, the mask codes, the weather record, the sound slots and the texts. Picture
// copies them out.
//
// The file, little-endian int32 throughout: magic "VE060697"; Title and Author (counted
// strings); preview JPEG (counted blob); wave count N and N records of 32 bytes; mask count
// M and M values; picture JPEG (counted blob); single sound (counted string); weather (24
// bytes); then, if the file goes on, 8 sound slots of 268 bytes, the objects text and the
// build information text (counted strings).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Result.h"
#include "graphics/BottomUpBitmap.h"
#include "picture/ByteReader.h"
#include "picture/Picture.h"
#include "picture/PictureItems.h"

namespace vec {

inline constexpr char kPictureMagic[] = "VE060697";
inline constexpr size_t kPictureMagicLength = 8;

// The message of a file that does not start with the magic; the user sees it after "File: ".
inline constexpr const char* kIncorrectPictureFile = "Incorrect Project File!";

class PictureFileReader {
 public:
  Status LoadFull(const std::string& fileName);
  Status LoadPreview(const std::string& fileName);
  Status LoadFullFromMemory(const uint8_t* data, size_t size);
  Status LoadPreviewFromMemory(const uint8_t* data, size_t size);

  // Copy out into objects the caller owns.
  void CopyPicture(BottomUpBitmap& dst) const { dst = image; }
  void CopyPreview(BottomUpBitmap& dst) const { dst = preview; }
  // Hand the decoded images over without a copy; the reader's own are left empty.
  void TakePicture(BottomUpBitmap& dst) { dst = std::exchange(image, BottomUpBitmap()); }
  void TakePreview(BottomUpBitmap& dst) { dst = std::exchange(preview, BottomUpBitmap()); }
  // The mask fitted to width x height as it is decoded (normally the picture's size).
  Status CopyMask(AreaMask& dst, int32_t width, int32_t height) const;
  void CopyWaves(std::array<WaveSet, kWaveSetCount>& dst) const { dst = waves; }
  void CopyWeather(WeatherSettings& dst) const { dst = weather; }
  void CopySoundSlots(std::array<SoundSlot, kSoundSlotCount>& dst) const { dst = soundSlots; }

  // Decoded images.
  BottomUpBitmap preview;
  BottomUpBitmap image;  // the decoded photo
  // The records as read; wave sets beyond the stored count stay zero.
  int32_t waveCount = 0;  // N as stored
  std::array<WaveSet, kWaveSetCount> waves{};
  std::vector<int32_t> maskCodes;
  WeatherSettings weather{};
  bool hasSoundSlots = false;  // the file went on after the weather record
  std::array<SoundSlot, kSoundSlotCount> soundSlots{};
  // Texts (ANSI, as stored).
  std::string Title;
  std::string Author;
  std::string singleSound;
  std::string objects;
  std::string buildInfo;
  // Where each item was read from (by PictureItem), and where reading stopped: a writer
  // that keeps what it does not change copies these bytes as they are.
  std::array<ItemSpan, kPictureItemCount> items{};
  uint64_t readEnd = 0;

  ItemSpan& Item(PictureItem item) { return items[static_cast<size_t>(item)]; }
  const ItemSpan& Item(PictureItem item) const { return items[static_cast<size_t>(item)]; }

 private:
  Status Run(ByteReader& stream, bool full);
  Status ReadHeadItems(ByteReader& stream);
  Status ReadBodyItems(ByteReader& stream);
  void ReadTailItems(ByteReader& stream);
  void Begin(ByteReader& stream, PictureItem item);
  void Finish(ByteReader& stream, PictureItem item, bool complete = true);
};

// Record decoding from the file's bytes (exposed for the writer's tests).
WaveSet WaveParamFromBytes(const uint8_t* p);
void WaveParamToBytes(const WaveSet& w, uint8_t* p);
SoundSlot SoundSlotFromBytes(const uint8_t* p);
void SoundSlotToBytes(const SoundSlot& s, uint8_t* p);

}  // namespace vec
