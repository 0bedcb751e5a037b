#pragma once
// The keys of the animated objects a picture carries; bringing them to life is the
// animation's job.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Geometry.h"

namespace vec {

// The keys of one object section ("Obj" + section number), with their defaults. Bringing
// the object to life (image, motion, worker) is the animation's job; this is only the data.
enum class ObjectType { Gif, Image };

struct ObjectKeys {
  int32_t sectionNumber = 0;
  ObjectType type = ObjectType::Image;
  std::string ObjType;  // "GIF" or "IMG" as stored
  std::string Filename;
  int32_t Width = 0, Height = 0;
  bool Scaled = true;  // read, but objects are always scaled to the output
  int32_t WidthSize = 100, HeightSize = 100;
  int32_t MoveAreaLeft = 0, MoveAreaTop = 0, MoveAreaRight = 0, MoveAreaBottom = 0;
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
  int32_t DisplayDurationCycle = 10;
  bool Redisplay = true;
  bool ResetPos = true;
  bool Transparent = true;
  int32_t TransparentType = 1;   // IMG default 1, GIF default 0
  int32_t TransparentColor = 0;  // 0x00BBGGRR; negative values are system colours
  int32_t AnimSpeed = 10;        // GIF only
  bool RefreshFrame = false;     // GIF only

  Rect MoveAreaRect() const { return {MoveAreaLeft, MoveAreaTop, MoveAreaRight, MoveAreaBottom}; }
  friend bool operator==(const ObjectKeys&, const ObjectKeys&) = default;
};

class IniDocument;

// Reads the keys of one object section into `o` (whose `type` decides the image keys'
// defaults), every absent key taking its default.
void ReadAnimObjectKeys(const IniDocument& ini, const std::string& section, ObjectKeys& o);

// The animated objects of a picture, as read from its objects text.
class ObjectKeysList {
 public:
  // Reads the text (INI lines separated by CR LF) and makes one entry for every section
  // "Obj" + n (n = 0 .. number of sections - 1) whose "ObjType" is "GIF" or "IMG".
  void Load(std::string_view text);
  void Clear();

  int32_t Count() const { return static_cast<int32_t>(entries.size()); }
  const ObjectKeys& operator[](int32_t i) const { return entries[static_cast<size_t>(i)]; }

  std::vector<ObjectKeys> entries;
  std::string text;  // the objects text as stored, kept for reading further keys
};

}  // namespace vec
