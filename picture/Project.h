#pragma once
// One picture file in memory: the decoded picture, its preview and area mask, the four
// wave sets, the weather record, the eight sound slots, the animated objects' keys and
// the build information. The slideshow keeps one project for the picture on screen; the
// animation engine and the sound player work directly on its fields.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Bitmap.h"
#include "graphics/Geometry.h"

namespace vec {

// Wave parameters of one water area, byte for byte the 32-byte record of the file.
struct TWaveParam {
  int32_t Amplitude = 0;    // largest displacement in pixels
  int32_t Cycles = 0;       // wave cycles over the picture height
  int32_t PhaseStep = 0;    // degrees per 50 ms at speed 100 %
  int32_t Forward = 0;      // nonzero: the phase grows
  uint8_t Horizontal = 0;   // nonzero: pixels move sideways
  uint8_t Vertical = 0;     // nonzero: pixels move up and down
  uint8_t Perspective = 0;  // nonzero: waves grow towards the bottom of the area
  uint8_t reserved1 = 0;
  int32_t Period = 0;   // modulus in degrees of the vertical wave's argument
  int32_t Scatter = 0;  // random row offset per column, 0 .. Scatter-1
  uint8_t reserved2 = 0;
  uint8_t Mirror = 0;  // nonzero: the area mirrors the picture above it
  uint8_t reserved3[2] = {0, 0};

  static constexpr size_t kRecordSize = 32;
  friend bool operator==(const TWaveParam&, const TWaveParam&) = default;
};
static_assert(sizeof(TWaveParam) == TWaveParam::kRecordSize);

// The weather record: six little-endian int32 in this order.
struct TWeatherParam {
  int32_t Kind = 0;        // 0 none, 1 snow, 2 rain
  int32_t Count = 0;       // flakes or drops
  int32_t SpeedIndex = 0;  // index into SpeedTable, 0..20
  int32_t Angle = 0;       // rain: degrees, 90 falls straight down
  int32_t Length = 0;      // rain: drop length in tenths
  int32_t Opacity = 0;     // tenths, 0..10

  static constexpr size_t kRecordSize = 24;
  friend bool operator==(const TWeatherParam&, const TWeatherParam&) = default;
};

enum TWeatherKind : int32_t { wkNone = 0, wkSnow = 1, wkRain = 2 };

// One sound-effect entry (268 bytes in the file: a length byte, 255 name bytes, three int32).
struct TSoundSlot {
  std::string FileName;     // empty: unused slot; at most 255 characters (ANSI)
  int32_t PlayMode = 0;     // 0 loop, 1 random pause between plays, 2 fixed interval
  int32_t IntervalMin = 0;  // seconds
  int32_t IntervalMax = 0;  // seconds, mode 1 only

  static constexpr size_t kRecordSize = 268;
  static constexpr size_t kMaxNameLength = 255;
  friend bool operator==(const TSoundSlot&, const TSoundSlot&) = default;
};

constexpr int kWaveSetCount = 4;
constexpr int kSoundSlotCount = 8;

// The mask's pixel values: index 0 is no area, 1..4 are the area colours.
constexpr std::array<Pixel, 5> kAreaColors = {0x00000000, 0x000000FF, 0x00FF00FF, 0x00FF0000,
                                              0x00FFFF00};

// The keys of one object section ("Obj" + section number), with their defaults. Bringing
// the object to life (image, motion, worker) is the animation's job; this is only the data.
enum class TAnimObjectType { otGif, otImg };

struct TAnimObjectData {
  int32_t sectionNumber = 0;
  TAnimObjectType type = TAnimObjectType::otImg;
  std::string ObjType;  // "GIF" or "IMG" as stored
  std::string Filename;
  int32_t Width = 0, Height = 0;
  bool Scaled = true;  // read, but objects are always scaled to the output
  int32_t WidthSize = 100, HeightSize = 100;
  int32_t MoveAreaRectleft = 0, MoveAreaRecttop = 0, MoveAreaRectright = 0, MoveAreaRectbottom = 0;
  int32_t MotionAreaType = 0;
  bool RestrictArea = true;
  int32_t Speed = 10;
  int32_t MotionSpeed = 10;
  int32_t Motion = 0;
  int32_t InitialDir = 0;
  int32_t PosLeftType = 0, PosTopType = 0;
  int32_t PosLeft = 100, PosTop = 100;
  int32_t ObjFacing = 1;
  bool DirFlip = false;
  int32_t Opacity = 10;
  int32_t DisplaySec = 0;
  int32_t DisplayDurationType = 0;
  int32_t DisplayDurationSec = 60;
  int32_t DIsplayDurationCycle = 10;
  bool Redisplay = true;
  bool ResetPos = true;
  bool Transparent = true;
  int32_t TransparentType = 1;   // IMG default 1, GIF default 0
  int32_t TransparentColor = 0;  // 0x00BBGGRR; negative values are system colours
  int32_t AnimSpeed = 10;        // GIF only
  bool RefreshFrame = false;     // GIF only

  TRect MoveAreaRect() const {
    return {MoveAreaRectleft, MoveAreaRecttop, MoveAreaRectright, MoveAreaRectbottom};
  }
  friend bool operator==(const TAnimObjectData&, const TAnimObjectData&) = default;
};

class IniDocument;

// Reads the keys of one object section into `o` (whose `type` decides the image keys'
// defaults), every absent key taking its default.
void ReadAnimObjectKeys(const IniDocument& ini, const std::string& section, TAnimObjectData& o);

// The animated objects of a picture, as read from its objects text.
class TAnimObjects {
 public:
  // Reads the text (INI lines separated by CR LF) and makes one entry for every section
  // "Obj" + n (n = 0 .. number of sections - 1) whose "ObjType" is "GIF" or "IMG".
  void Load(std::string_view text);
  void Clear();

  int32_t Count() const { return static_cast<int32_t>(entries.size()); }
  const TAnimObjectData& operator[](int32_t i) const { return entries[static_cast<size_t>(i)]; }

  std::vector<TAnimObjectData> entries;
  std::string text;  // the objects text as stored, kept for reading further keys
};

// Build information of one section ("BuildScr" or "BuildExe"); not used by the runtime.
struct TBuildInfo {
  std::string Filename;
  std::string MusicFile;
  bool Music = false;
  bool Sound = true;
  friend bool operator==(const TBuildInfo&, const TBuildInfo&) = default;
};

struct TExtraInfo {
  TBuildInfo BuildScr;
  TBuildInfo BuildExe;
  // Reads the build information text (INI lines written as comma text).
  void Load(std::string_view commaText);
};

// Where LoadPreview reports its failure (a modal error box with one OK button).
class IProjectMessages {
 public:
  virtual ~IProjectMessages() = default;
  virtual void ShowError(const std::string& text) = 0;
};

class TProject {
 public:
  TProject() = default;

  // Full load; false on any failure, without a message. What was set before the failure stays.
  bool LoadFromFile(const std::string& fileName);
  // Same, from a picture file held in memory (the file name is only recorded).
  bool LoadFromMemory(const uint8_t* data, size_t size, const std::string& fileName = {});
  // Preview-only load. On failure reports "File: " + file name + CR LF + message through
  // `messages` (when given) and returns false.
  bool LoadPreview(const std::string& fileName, IProjectMessages* messages);

  TWaveParam& WaveSet(int index) { return waveSets[static_cast<size_t>(index)]; }
  const TWaveParam& WaveSet(int index) const { return waveSets[static_cast<size_t>(index)]; }

  void SetSpeed(int32_t percent) { speed = percent; }
  int32_t Speed() const { return speed; }

  // Index of the first sound slot with an empty name, or 8 when all are used.
  int32_t SoundCount() const;

  // Message of the last failed load ("" when none).
  const std::string& LastError() const { return lastError; }

  bool loaded = false;
  std::string fileName;
  TBitmap picture;
  TBitmap preview;
  TBitmap mask;  // one pixel per picture pixel: kAreaColors values only
  std::array<TWaveParam, kWaveSetCount> waveSets{};
  TWeatherParam weather{};
  std::string Title;
  std::string Author;
  int32_t designWidth = 0;
  int32_t designHeight = 0;
  int32_t speed = 100;
  std::string singleSound;  // working copy; empty after a load
  std::array<TSoundSlot, kSoundSlotCount> soundSlots{};
  TAnimObjects objects;
  TExtraInfo extraInfo;
  std::string lastError;

 private:
  void ResetContent();
  bool LoadFromMemoryOrFile(const uint8_t* data, size_t size, const std::string& name,
                            bool fromFile);
};

// Fits a loaded project to an output size: scales the wave sets' Amplitude and Scatter,
// resamples the picture bilinearly and stretches the mask without blending. With
// keepAspect the requested size is narrowed to the picture's aspect ratio.
void ResizeProject(bool keepAspect, TProject& project, int32_t width, int32_t height);

}  // namespace vec
