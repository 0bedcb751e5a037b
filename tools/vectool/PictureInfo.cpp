// `info --json FILE.vep`: everything a picture file loads into, as one JSON object.

#include "tools/vectool/PictureInfo.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "base/TextEncoding.h"
#include "picture/Mask.h"
#include "picture/Picture.h"

namespace vectool {
namespace {

std::string JsonString(const std::string& ansi) {
  const std::string text = vec::Cp1252ToUtf8(ansi);
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string PictureJson(const vec::Picture& p) {
  std::ostringstream o;
  o << "{\n";
  o << "  \"loaded\": " << (p.loaded ? "true" : "false") << ",\n";
  o << "  \"error\": " << (p.lastError.empty() ? "null" : JsonString(p.lastError)) << ",\n";
  o << "  \"Title\": " << JsonString(p.Title) << ",\n";
  o << "  \"Author\": " << JsonString(p.Author) << ",\n";
  o << "  \"width\": " << p.picture.Width() << ",\n";
  o << "  \"height\": " << p.picture.Height() << ",\n";
  o << "  \"previewWidth\": " << p.preview.Width() << ",\n";
  o << "  \"previewHeight\": " << p.preview.Height() << ",\n";
  o << "  \"waves\": [";
  for (size_t i = 0; i < p.waveSets.size(); ++i) {
    const vec::WaveSet& w = p.waveSets[i];
    o << (i ? ",\n" : "\n") << "    {\"Amplitude\": " << w.Amplitude << ", \"Cycles\": " << w.Cycles
      << ", \"PhaseStep\": " << w.PhaseStep << ", \"Forward\": " << w.Forward
      << ", \"Horizontal\": " << int{w.Horizontal} << ", \"Vertical\": " << int{w.Vertical}
      << ", \"Perspective\": " << int{w.Perspective} << ", \"Period\": " << w.Period
      << ", \"Scatter\": " << w.Scatter << ", \"Mirror\": " << int{w.Mirror} << "}";
  }
  o << "\n  ],\n";
  const auto counts = vec::CountMaskValues(p.mask);
  o << "  \"mask\": {\"width\": " << p.mask.Width() << ", \"height\": " << p.mask.Height()
    << ", \"counts\": [" << counts[0] << ", " << counts[1] << ", " << counts[2] << ", " << counts[3]
    << ", " << counts[4] << "]},\n";
  const vec::WeatherSettings& k = p.weather;
  o << "  \"weather\": {\"Kind\": " << k.Kind << ", \"Count\": " << k.Count
    << ", \"SpeedIndex\": " << k.SpeedIndex << ", \"Angle\": " << k.Angle
    << ", \"Length\": " << k.Length << ", \"Opacity\": " << k.Opacity << "},\n";
  o << "  \"sounds\": [";
  for (size_t i = 0; i < p.soundSlots.size(); ++i) {
    const vec::SoundSlot& s = p.soundSlots[i];
    o << (i ? ",\n" : "\n") << "    {\"FileName\": " << JsonString(s.FileName)
      << ", \"PlayMode\": " << s.PlayMode << ", \"IntervalMin\": " << s.IntervalMin
      << ", \"IntervalMax\": " << s.IntervalMax << "}";
  }
  o << "\n  ],\n";
  o << "  \"SoundCount\": " << p.SoundCount() << ",\n";
  o << "  \"objects\": [";
  for (int32_t i = 0; i < p.objects.Count(); ++i) {
    const vec::ObjectKeys& obj = p.objects[i];
    o << (i ? ",\n" : "\n") << "    {\"section\": " << obj.sectionNumber
      << ", \"type\": " << JsonString(obj.ObjType) << ", \"Filename\": " << JsonString(obj.Filename)
      << "}";
  }
  o << (p.objects.Count() ? "\n  ]\n" : "]\n");
  o << "}\n";
  return o.str();
}

}  // namespace

int RunPictureInfo(const Args& args) {
  const auto files = Positionals(args, {});
  if (files.size() != 1) return Fail("usage: info [--json] FILE.vep");
  vec::Picture project;
  project.LoadFromFile(files[0]);
  if (Flag(args, "--json")) {
    std::cout << PictureJson(project);
  } else {
    std::cout << files[0] << ": ";
    if (!project.loaded) {
      std::cout << "not loaded: " << project.lastError << "\n";
    } else {
      std::cout << project.picture.Width() << " x " << project.picture.Height() << ", \""
                << vec::Cp1252ToUtf8(project.Title) << "\", " << project.SoundCount() << " sounds, "
                << project.objects.Count() << " objects\n";
    }
  }
  return project.loaded ? 0 : 1;
}

}  // namespace vectool
