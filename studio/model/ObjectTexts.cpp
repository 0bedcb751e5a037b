#include "studio/model/ObjectTexts.h"

#include <array>

#include "base/Ini.h"

namespace vec::studio {
namespace {

using O = ObjectKeys;

std::string SectionOf(int32_t section) {
  return "Obj" + std::to_string(section);
}

const ObjectField kObjectFields[] = {
    {"Motion", "Motion", FieldStyle::Choice, 0, 9, "",
     "Stays|Wanders|Bounces|Bounces sideways|Bounces up and down|Crosses sideways|"
     "Crosses up or down|Circles|Stays|Jitters",
     "The object's path", [](const O& o) { return o.Motion; }, false},
    {"InitialDir", "Starts moving", FieldStyle::Choice, 0, 8, "",
     "Either way|Left|Right|Up|Down|Up and left|Up and right|Down and left|Down and right",
     "The direction the object sets out in", [](const O& o) { return o.InitialDir; }, false},
    {"MotionSpeed", "Speed", FieldStyle::Number, 0, 100, "", "", "How fast the object moves",
     [](const O& o) { return o.MotionSpeed; }, false},
    {"PosLeftType", "Starts across", FieldStyle::Choice, 0, 5, "",
     "At its place|At the left|At the right|In the middle|Anywhere|Anywhere, mirrored",
     "Where the object starts across the picture; \"At its place\" is where it was put with "
     "the Place tool",
     [](const O& o) { return o.PosLeftType; }, false},
    {"PosTopType", "Starts down", FieldStyle::Choice, 0, 5, "",
     "At its place|At the top|At the bottom|In the middle|Anywhere|Anywhere, mirrored",
     "Where the object starts down the picture", [](const O& o) { return o.PosTopType; }, false},
    {"MotionAreaType", "Moves over", FieldStyle::Choice, 0, 1, "",
     "The whole picture|Its rectangle",
     "The whole picture, or the rectangle stored with the object",
     [](const O& o) { return o.MotionAreaType; }, false},
    {"RestrictArea", "Stays inside", FieldStyle::Flag, 0, 1, "", "",
     "On: the whole image stays inside; off: it may go half its size beyond the edge",
     [](const O& o) { return int32_t{o.RestrictArea}; }, true},
    {"WidthSize", "Width", FieldStyle::Number, 1, 400, "%", "",
     "Drawn width in percent of the image's", [](const O& o) { return o.WidthSize; }, false},
    {"HeightSize", "Height", FieldStyle::Number, 1, 400, "%", "",
     "Drawn height in percent of the image's", [](const O& o) { return o.HeightSize; }, false},
    {"Opacity", "Opacity", FieldStyle::Number, 0, 10, "/10", "",
     "10: opaque; less lets the picture show through", [](const O& o) { return o.Opacity; }, false},
    {"ObjFacing", "The image faces", FieldStyle::Choice, 0, 2, "", "Left|Right|Either way",
     "The way the image looks; with Turn, it is mirrored when moving the other way",
     [](const O& o) { return o.ObjFacing; }, false},
    {"DirFlip", "Turns", FieldStyle::Flag, 0, 1, "", "",
     "Mirror the image when it moves against the way it faces",
     [](const O& o) { return int32_t{o.DirFlip}; }, true},
    {"DisplaySec", "Appears after", FieldStyle::Number, 0, 600, "s", "",
     "Seconds before the object first shows", [](const O& o) { return o.DisplaySec; }, false},
    {"DisplayDurationType", "Once shown", FieldStyle::Choice, 0, 1, "", "Stays|Hides again",
     "Whether the object hides after the seconds below",
     [](const O& o) { return o.DisplayDurationType; }, false},
    {"DisplayDurationSec", "Shows for", FieldStyle::Number, 0, 3600, "s", "",
     "Seconds the object shows when it hides again",
     [](const O& o) { return o.DisplayDurationSec; }, false},
    {"Redisplay", "Comes back", FieldStyle::Flag, 0, 1, "", "",
     "After hiding, the object shows again after the same pause",
     [](const O& o) { return int32_t{o.Redisplay}; }, true},
    {"AnimSpeed", "GIF speed", FieldStyle::Number, 1, 20, "", "",
     "Animated GIF only: 10 plays at its own speed, 1 at a tenth, 20 at six times",
     [](const O& o) { return o.AnimSpeed; }, false},
};

}  // namespace

std::span<const ObjectField> ObjectFields() {
  return kObjectFields;
}

std::vector<ObjectKeys> ObjectsOf(std::string_view text) {
  ObjectKeysList list;
  list.Load(text);
  return list.entries;
}

std::string WithObjectKey(std::string_view text, int32_t section, std::string_view key,
                          int32_t value, bool boolean) {
  IniDocument ini = IniDocument::FromText(text);
  if (boolean)
    ini.WriteBool(SectionOf(section), key, value != 0);
  else
    ini.WriteInteger(SectionOf(section), key, value);
  return ini.ToText();
}

std::string WithObjectPlaced(std::string_view text, int32_t section, Point centre) {
  IniDocument ini = IniDocument::FromText(text);
  const std::string s = SectionOf(section);
  ini.WriteInteger(s, "PosLeftType", 0);
  ini.WriteInteger(s, "PosTopType", 0);
  ini.WriteInteger(s, "PosLeft", centre.x);
  ini.WriteInteger(s, "PosTop", centre.y);
  return ini.ToText();
}

std::string WithNewObject(std::string_view text, ObjectType type, std::string_view fileName,
                          Point centre, int32_t& section) {
  IniDocument ini = IniDocument::FromText(text);
  section = 0;
  while (ini.HasSection(SectionOf(section))) ++section;
  const std::string s = SectionOf(section);
  ini.WriteString(s, "ObjType", type == ObjectType::Gif ? "GIF" : "IMG");
  ini.WriteString(s, "Filename", fileName);
  ini.WriteInteger(s, "Motion", 1);
  ini.WriteInteger(s, "MotionSpeed", 10);
  ini.WriteInteger(s, "PosLeftType", 0);
  ini.WriteInteger(s, "PosTopType", 0);
  ini.WriteInteger(s, "PosLeft", centre.x);
  ini.WriteInteger(s, "PosTop", centre.y);
  ini.WriteBool(s, "DirFlip", true);
  return ini.ToText();
}

std::string WithoutObject(std::string_view text, int32_t section) {
  IniDocument ini = IniDocument::FromText(text);
  ini.EraseSection(SectionOf(section));
  for (int32_t n = section + 1; ini.HasSection(SectionOf(n)); ++n) {
    const std::vector<IniDocument::KeyValue> entries = ini.SectionEntries(SectionOf(n));
    ini.EraseSection(SectionOf(n));
    for (const auto& e : entries) ini.AppendKey(SectionOf(n - 1), e.key, e.value.value_or(""));
  }
  return ini.ToText();
}

}  // namespace vec::studio
