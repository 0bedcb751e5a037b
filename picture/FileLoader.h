#pragma once
// Reads one picture file (.vep) into its own fields: the two decoded JPEG images, the wave
// records, the mask codes, the weather record, the sound slots and the texts. TProject
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
#include <vector>

#include "graphics/Bitmap.h"
#include "picture/MyStream.h"
#include "picture/PictureError.h"
#include "picture/Project.h"

namespace vec {

inline constexpr char kPictureMagic[] = "VE060697";
inline constexpr size_t kPictureMagicLength = 8;

class TFileLoader {
 public:
  PictureStatus LoadFull(const std::string& fileName);
  PictureStatus LoadPreview(const std::string& fileName);
  PictureStatus LoadFullFromMemory(const uint8_t* data, size_t size);
  PictureStatus LoadPreviewFromMemory(const uint8_t* data, size_t size);

  // Copy out into objects the caller owns.
  void CopyPicture(TBitmap& dst) const { dst = picture; }
  void CopyPreview(TBitmap& dst) const { dst = preview; }
  PictureStatus CopyMask(TBitmap& dst) const;
  void CopyWaves(std::array<TWaveParam, kWaveSetCount>& dst) const { dst = waves; }
  void CopyWeather(TWeatherParam& dst) const { dst = weather; }
  void CopySoundSlots(std::array<TSoundSlot, kSoundSlotCount>& dst) const { dst = soundSlots; }

  // Decoded images.
  TBitmap preview;
  TBitmap picture;
  // The records as read; wave sets beyond the stored count stay zero.
  int32_t waveCount = 0;  // N as stored
  std::array<TWaveParam, kWaveSetCount> waves{};
  std::vector<int32_t> maskCodes;
  TWeatherParam weather{};
  bool hasSoundSlots = false;  // the file went on after the weather record
  std::array<TSoundSlot, kSoundSlotCount> soundSlots{};
  // Texts (ANSI, as stored).
  std::string Title;
  std::string Author;
  std::string singleSound;
  std::string objects;
  std::string buildInfo;

 private:
  PictureStatus Run(TMyStream& stream, bool full);
  PictureStatus ReadHeadItems(TMyStream& stream);
  PictureStatus ReadBodyItems(TMyStream& stream);
  void ReadTailItems(TMyStream& stream);
};

// Record decoding from the file's bytes (exposed for the writer's tests).
TWaveParam WaveParamFromBytes(const uint8_t* p);
void WaveParamToBytes(const TWaveParam& w, uint8_t* p);
TSoundSlot SoundSlotFromBytes(const uint8_t* p);
void SoundSlotToBytes(const TSoundSlot& s, uint8_t* p);

}  // namespace vec
