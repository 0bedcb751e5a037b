// `info --json FILE.vep`: everything a picture file loads into, as one JSON object.

#include "tools/vectool/PictureInfo.h"

#include <iostream>
#include <string>

#include "picture/Mask.h"
#include "picture/Picture.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/PackageJson.h"

namespace vectool {
namespace {

Json PictureJson(const vec::Picture& p) {
  Json waves = Json::array();
  for (const vec::WaveSet& w : p.waveSets)
    waves.push_back({{"Amplitude", w.Amplitude},
                     {"Cycles", w.Cycles},
                     {"PhaseStep", w.PhaseStep},
                     {"Forward", w.Forward},
                     {"Horizontal", int{w.Horizontal}},
                     {"Vertical", int{w.Vertical}},
                     {"Perspective", int{w.Perspective}},
                     {"Period", w.Period},
                     {"Scatter", w.Scatter},
                     {"Mirror", int{w.Mirror}}});
  const auto counts = vec::CountMaskValues(p.mask);
  Json countList = Json::array();
  for (const auto n : counts) countList.push_back(n);
  const vec::WeatherSettings& k = p.weather;
  Json sounds = Json::array();
  for (const vec::SoundSlot& s : p.soundSlots)
    sounds.push_back({{"FileName", Text(s.FileName)},
                      {"PlayMode", s.PlayMode},
                      {"IntervalMin", s.IntervalMin},
                      {"IntervalMax", s.IntervalMax}});
  Json objects = Json::array();
  for (int32_t i = 0; i < p.objects.Count(); ++i) {
    const vec::ObjectKeys& obj = p.objects[i];
    objects.push_back({{"section", obj.sectionNumber},
                       {"type", Text(obj.ObjType)},
                       {"Filename", Text(obj.Filename)}});
  }

  Json j;
  j["loaded"] = p.loaded;
  j["error"] = p.lastError.empty() ? Json(nullptr) : Text(p.lastError);
  j["Title"] = Text(p.Title);
  j["Author"] = Text(p.Author);
  j["width"] = p.image.Width();
  j["height"] = p.image.Height();
  j["previewWidth"] = p.preview.Width();
  j["previewHeight"] = p.preview.Height();
  j["waves"] = std::move(waves);
  j["mask"] = {{"width", p.mask.Width()}, {"height", p.mask.Height()}, {"counts", countList}};
  j["weather"] = {{"Kind", k.Kind},   {"Count", k.Count},   {"SpeedIndex", k.SpeedIndex},
                  {"Angle", k.Angle}, {"Length", k.Length}, {"Opacity", k.Opacity}};
  j["sounds"] = std::move(sounds);
  j["SoundCount"] = p.SoundCount();
  j["objects"] = std::move(objects);
  return j;
}

}  // namespace

int RunPictureInfo(const std::string& file, bool json) {
  vec::Picture picture;
  picture.LoadFromFile(file);
  if (json) {
    // The document says whether the file loaded; the exit code says it too.
    std::cout << Printed(PictureJson(picture));
    return picture.loaded ? 0 : kFailed;
  }
  // A file that does not load is bad input: one line on stderr, like every command's.
  if (!picture.loaded) return Fail(file + ": not loaded: " + picture.lastError);
  std::cout << file << ": " << picture.image.Width() << " x " << picture.image.Height() << ", \""
            << vec::Cp1252ToUtf8(picture.Title) << "\", " << picture.SoundCount() << " sounds, "
            << picture.objects.Count() << " objects\n";
  return 0;
}

}  // namespace vectool
