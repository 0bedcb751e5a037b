#pragma once
// Writes a picture file in the layout PictureFileReader reads (used by the tools; the runtime
// never writes picture files).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/Picture.h"
#include "picture/PictureItems.h"

namespace vec {

struct PictureFileContent {
  std::string Title;
  std::string Author;
  std::vector<uint8_t> previewJpeg;
  std::vector<WaveSet> waves = std::vector<WaveSet>(kWaveSetCount);
  std::vector<int32_t> maskValues;  // width, height, run codes (see EncodeMask)
  std::vector<uint8_t> pictureJpeg;
  std::string singleSound;
  WeatherSettings weather{};
  // false: the file ends after the weather record (no slots, objects or build information).
  bool withTail = true;
  std::array<SoundSlot, kSoundSlotCount> soundSlots{};
  std::string objects;    // INI lines separated by CR LF
  std::string buildInfo;  // INI lines as comma text
};

// The file's bytes; with `items`, also where each item was written (the tail's items are
// left incomplete when the content has no tail).
std::vector<uint8_t> WritePictureFile(const PictureFileContent& content,
                                      std::array<ItemSpan, kPictureItemCount>* items = nullptr);

// Lines as comma text: separated by commas; a line holding blanks, commas or double quotes
// is wrapped in double quotes with its quotes doubled.
std::string JoinCommaText(const std::vector<std::string>& lines);

}  // namespace vec
