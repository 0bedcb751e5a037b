#pragma once
// The animated objects of a picture, edited in the objects text the file keeps (INI lines):
// every change goes through the INI document, so each line the studio does not change stays
// as the author's tool wrote it. The objects themselves are read by the show's own rules
// (ObjectKeysList).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Geometry.h"
#include "picture/ObjectKeys.h"
#include "studio/model/SettingFields.h"

namespace vec::studio {

// One key of an object as the studio's controls show it.
struct ObjectField {
  const char* key;
  const char* label;
  FieldStyle style;
  int32_t min, max;
  const char* unit;
  // The names of min..max, for FieldStyle::Choice ('|' between them).
  const char* choices;
  const char* tip;
  int32_t (*get)(const ObjectKeys&);
  bool boolean;  // stored as 1 or 0 and read as nonzero
};

std::span<const ObjectField> ObjectFields();

// The objects the text makes, in the show's order, each with its section number.
std::vector<ObjectKeys> ObjectsOf(std::string_view text);

// The text with key `key` of section "Obj" + `section` set.
std::string WithObjectKey(std::string_view text, int32_t section, std::string_view key,
                          int32_t value, bool boolean);
// The text with the object's start position set: the stored position (rule 0) on both
// axes, at `centre` in the picture's design pixels.
std::string WithObjectPlaced(std::string_view text, int32_t section, Point centre);

// A new object in the first section "Obj" + n the text lacks (which the show reads, as it
// reads every n below the number of sections); `section` gets n. It starts at `centre`,
// wandering over the whole picture.
std::string WithNewObject(std::string_view text, ObjectType type, std::string_view fileName,
                          Point centre, int32_t& section);
// The text without the object of section `section`; the sections behind it move down one
// number each, so the show still reads all of them.
std::string WithoutObject(std::string_view text, int32_t section);

}  // namespace vec::studio
