#include <string>

#include "base/CommaText.h"
#include "base/Ini.h"
#include "picture/Picture.h"

namespace vec {
namespace {

// Number of section headers in the text, duplicates included: the objects are looked up
// as "Obj0" .. "Obj" + (count - 1).
int32_t CountSections(std::string_view text) {
  int32_t count = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string_view::npos)
      ++count;
    pos = end + 1;
  }
  return count;
}

}  // namespace

void ReadAnimObjectKeys(const IniDocument& ini, const std::string& s, ObjectKeys& o) {
  const bool gif = o.type == ObjectType::Gif;
  // The image's own keys first, then the common ones.
  o.Filename = ini.ReadString(s, "Filename", "");
  o.Transparent = ini.ReadBool(s, "Transparent", true);
  o.TransparentType = ini.ReadInteger(s, "TransparentType", gif ? 0 : 1);
  o.TransparentColor = ini.ReadInteger(s, "TransparentColor", 0);
  if (gif) {
    o.AnimSpeed = ini.ReadInteger(s, "AnimSpeed", 10);
    o.RefreshFrame = ini.ReadBool(s, "RefreshFrame", false);
  }
  o.Width = ini.ReadInteger(s, "Width", 0);
  o.Height = ini.ReadInteger(s, "Height", 0);
  o.Scaled = ini.ReadBool(s, "Scaled", true);
  o.Scaled = true;  // objects are always scaled to the output, whatever was stored
  o.WidthSize = ini.ReadInteger(s, "WidthSize", 100);
  o.HeightSize = ini.ReadInteger(s, "HeightSize", 100);
  o.MoveAreaLeft = ini.ReadInteger(s, "MoveAreaRectleft", 0);
  o.MoveAreaTop = ini.ReadInteger(s, "MoveAreaRecttop", 0);
  o.MoveAreaRight = ini.ReadInteger(s, "MoveAreaRectright", 0);
  o.MoveAreaBottom = ini.ReadInteger(s, "MoveAreaRectbottom", 0);
  o.MotionAreaType = ini.ReadInteger(s, "MotionAreaType", 0);
  o.RestrictArea = ini.ReadBool(s, "RestrictArea", true);
  o.Speed = ini.ReadInteger(s, "Speed", 10);
  o.MotionSpeed = ini.ReadInteger(s, "MotionSpeed", 10);
  o.Motion = ini.ReadInteger(s, "Motion", 0);
  o.InitialDir = ini.ReadInteger(s, "InitialDir", 0);
  o.PosLeftType = ini.ReadInteger(s, "PosLeftType", 0);
  o.PosTopType = ini.ReadInteger(s, "PosTopType", 0);
  o.PosLeft = ini.ReadInteger(s, "PosLeft", 100);
  o.PosTop = ini.ReadInteger(s, "PosTop", 100);
  o.ObjFacing = ini.ReadInteger(s, "ObjFacing", 1);
  o.DirFlip = ini.ReadBool(s, "DirFlip", false);
  o.Opacity = ini.ReadInteger(s, "Opacity", 10);
  o.DisplaySec = ini.ReadInteger(s, "DisplaySec", 0);
  o.DisplayDurationType = ini.ReadInteger(s, "DisplayDurationType", 0);
  o.DisplayDurationSec = ini.ReadInteger(s, "DisplayDurationSec", 60);
  o.DisplayDurationCycle = ini.ReadInteger(s, "DIsplayDurationCycle", 10);
  o.Redisplay = ini.ReadBool(s, "Redisplay", true);
  o.ResetPos = ini.ReadBool(s, "ResetPos", true);
}

void ObjectKeysList::Clear() {
  entries.clear();
  text.clear();
}

void ObjectKeysList::Load(std::string_view objectsText) {
  // Copied before clearing: the text may be this list's own (reloading what it holds).
  std::string copy(objectsText);
  Clear();
  text = std::move(copy);
  const IniDocument ini = IniDocument::FromText(text);
  const int32_t sections = CountSections(text);
  for (int32_t n = 0; n < sections; ++n) {
    const std::string section = "Obj" + std::to_string(n);
    const std::string type = ini.ReadString(section, "ObjType", "");
    ObjectKeys o;
    if (type == "GIF") {
      o.type = ObjectType::Gif;
    } else if (type == "IMG") {
      o.type = ObjectType::Image;
    } else {
      continue;
    }
    o.sectionNumber = n;
    o.ObjType = type;
    ReadAnimObjectKeys(ini, section, o);
    entries.push_back(std::move(o));
  }
}

void ExtraInfo::Load(std::string_view commaText) {
  std::string lines;
  for (const auto& line : SplitCommaText(commaText)) {
    lines += line;
    lines += "\r\n";
  }
  const IniDocument ini = IniDocument::FromText(lines);
  auto read = [&](const char* section, BuildInfo& b) {
    b.Filename = ini.ReadString(section, "Filename", "");
    b.MusicFile = ini.ReadString(section, "MusicFile", "");
    b.Music = ini.ReadBool(section, "Music", false);
    b.Sound = ini.ReadBool(section, "Sound", true);
  };
  read("BuildScr", BuildScr);
  read("BuildExe", BuildExe);
}

}  // namespace vec
