#pragma once
// One picture file in memory: the decoded photo (image), its preview and area mask, the four
// wave sets, the weather record, the eight sound slots, the animated objects' keys and
// the build information. The slideshow keeps one for the picture on screen; the
// animation engine and the sound player work directly on its fields.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/BottomUpBitmap.h"
#include "graphics/Geometry.h"
#include "picture/AreaMask.h"
#include "picture/BuildInfo.h"
#include "picture/ObjectKeys.h"
#include "picture/SoundSlot.h"
#include "picture/WaveSet.h"
#include "picture/WeatherSettings.h"

namespace vec {

// The colours of the areas in a mask picture: index 0 is no area, 1..4 the areas.
constexpr std::array<Pixel, 5> kAreaColors = {0x00000000, 0x000000FF, 0x00FF00FF, 0x00FF0000,
                                              0x00FFFF00};

// Where LoadPreview reports its failure (a modal error box with one OK button).
class IPictureMessages {
 public:
  virtual ~IPictureMessages() = default;
  virtual void ShowError(const std::string& text) = 0;
};

class Picture {
 public:
  Picture() = default;

  // Full load; false on any failure, without a message. What was set before the failure stays.
  bool LoadFromFile(const std::string& fileName);
  // Same, from a picture file held in memory (the file name is only recorded).
  bool LoadFromMemory(const uint8_t* data, size_t size, const std::string& fileName = {});
  // Preview-only load. On failure reports "File: " + file name + CR LF + message through
  // `messages` (when given) and returns false.
  bool LoadPreview(const std::string& fileName, IPictureMessages* messages);

  WaveSet& WaveSetAt(int index) { return waveSets[static_cast<size_t>(index)]; }
  const WaveSet& WaveSetAt(int index) const { return waveSets[static_cast<size_t>(index)]; }

  void SetSpeed(int32_t percent) { speed = percent; }
  int32_t Speed() const { return speed; }

  // Index of the first sound slot with an empty name, or 8 when all are used.
  int32_t SoundCount() const;

  // Message of the last failed load ("" when none).
  const std::string& LastError() const { return lastError; }

  bool loaded = false;
  std::string fileName;
  BottomUpBitmap image;  // the decoded photo
  BottomUpBitmap preview;
  AreaMask mask;  // one area index per picture pixel
  std::array<WaveSet, kWaveSetCount> waveSets{};
  WeatherSettings weather{};
  std::string Title;
  std::string Author;
  int32_t designWidth = 0;
  int32_t designHeight = 0;
  int32_t speed = 100;
  std::string singleSound;  // working copy; empty after a load
  std::array<SoundSlot, kSoundSlotCount> soundSlots{};
  ObjectKeysList objects;
  ExtraInfo extraInfo;
  std::string lastError;

 private:
  void ResetContent();
  bool LoadFromMemoryOrFile(const uint8_t* data, size_t size, const std::string& name,
                            bool fromFile);
};

// Fits a loaded picture to an output size: scales the wave sets' Amplitude and Scatter,
// resamples the picture bilinearly and stretches the mask without blending. With
// keepAspect the requested size is narrowed to the picture's aspect ratio.
void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height);

// The two bitmaps of FitPicture, each fitted to width x height (both > 0) into `fitted`,
// whose storage is reused and every pixel of which is written: the image resampled
// bilinearly (fourth byte 255), the mask stretched by StretchBlt's rule, each pixel taking
// the index of the pixel shown there (an empty mask gives one of no area).
void FitImage(const BottomUpBitmap& image, int32_t width, int32_t height, BottomUpBitmap& fitted);
void FitMask(const AreaMask& mask, int32_t width, int32_t height, AreaMask& fitted);

}  // namespace vec
