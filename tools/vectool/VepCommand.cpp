// `vep`: builds a picture file from a picture, a mask picture in the four area colours and a
// settings INI:
//   [Picture]  Title, Author, SingleSound, PreviewWidth (160), Quality (90), Tail (1)
//   [Wave1]..[Wave4]  Amplitude, Cycles, PhaseStep, Forward, Horizontal, Vertical,
//                     Perspective, Period, Scatter, Mirror
//   [Weather]  Kind, Count, SpeedIndex, Angle, Length, Opacity
//   [Sound1]..[Sound8]  FileName, PlayMode, IntervalMin, IntervalMax
//   [Obj0], [Obj1], ...  copied as they are into the objects text
//   [BuildScr], [BuildExe]  copied as they are into the build information
// A JPEG picture or preview is stored as it is; other pictures are encoded.

#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Ini.h"
#include "graphics/BlendBitmap.h"
#include "graphics/ImageFile.h"
#include "graphics/Jpeg.h"
#include "picture/Mask.h"
#include "picture/PictureJpegs.h"
#include "picture/PictureWriter.h"
#include "tools/vectool/Command.h"

namespace {

using vectool::Commands;
using vectool::Fail;

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && vec::EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

// The lines of every section whose name passes `wanted`, headers included, in file order.
template <class Pred>
std::vector<std::string> SectionLines(const std::string& text, Pred wanted) {
  std::vector<std::string> out;
  bool keep = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    const std::string_view t = vec::TrimBlanks(line);
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos)
      keep = wanted(vec::TrimBlanks(t.substr(1, t.find(']') - 1)));
    if (keep && !t.empty()) out.push_back(line);
  }
  return out;
}

struct Encoded {
  std::vector<uint8_t> jpeg;
  vec::BlendBitmap image;
};

// Loads an image; a JPEG keeps its own bytes.
vec::ErrorOr<Encoded> LoadPicture(const std::string& path, int quality) {
  std::vector<uint8_t> bytes = TRY(vec::ReadWholeFile(path));
  auto image = vec::LoadImageFromMemory(bytes.data(), bytes.size());
  if (!image) return vec::Error::Make(image.error().code, path + ": " + image.error().message);
  Encoded out;
  out.image = std::move(image.value());
  out.jpeg = TRY(vec::StoredPictureJpeg(std::move(bytes), out.image, quality));
  return out;
}

struct VepOptions {
  std::string picture;
  std::optional<std::string> mask, settings, preview;
  std::string out;
};

int RunVep(const VepOptions& o) {
  std::string settingsText;
  if (o.settings) {
    auto bytes = vec::ReadWholeFile(*o.settings);
    if (!bytes) return Fail(bytes.error().message);
    settingsText.assign(bytes->begin(), bytes->end());
  }
  const vec::IniDocument ini = vec::IniDocument::FromText(settingsText);
  const int quality = ini.ReadInteger("Picture", "Quality", vec::kDefaultJpegQuality);

  vec::PictureFileContent c;
  vec::ErrorOr<Encoded> loaded = LoadPicture(o.picture, quality);
  if (!loaded) return Fail(loaded.error().message);
  Encoded picture = loaded.release_value();
  c.pictureJpeg = std::move(picture.jpeg);

  if (const std::optional<std::string>& previewPath = o.preview) {
    vec::ErrorOr<Encoded> preview = LoadPicture(*previewPath, quality);
    if (!preview) return Fail(preview.error().message);
    c.previewJpeg = std::move(preview->jpeg);
  } else {
    const int32_t pw = ini.ReadInteger("Picture", "PreviewWidth", vec::kDefaultPreviewWidth);
    auto jpeg = vec::MakePreviewJpeg(picture.image, pw, quality);
    if (!jpeg) return Fail(jpeg.error().message);
    c.previewJpeg = std::move(jpeg.value());
  }

  if (const std::optional<std::string>& maskPath = o.mask) {
    auto maskImage = vec::LoadImageFromFile(*maskPath);
    if (!maskImage) return Fail(*maskPath + ": " + maskImage.error().message);
    vec::BottomUpBitmap mask(maskImage->Width(), maskImage->Height());
    for (int32_t y = 0; y < mask.Height(); ++y)
      for (int32_t x = 0; x < mask.Width(); ++x) mask.SetPixel(x, y, maskImage->GetPixel(x, y));
    c.maskValues = vec::EncodeMask(vec::AreaMaskFromColors(mask));
  } else {
    c.maskValues = {picture.image.Width(), picture.image.Height()};
  }

  c.Title = ini.ReadString("Picture", "Title", "");
  c.Author = ini.ReadString("Picture", "Author", "");
  c.singleSound = ini.ReadString("Picture", "SingleSound", "");
  c.withTail = ini.ReadBool("Picture", "Tail", true);
  for (int k = 0; k < vec::kWaveSetCount; ++k) {
    const std::string s = "Wave" + std::to_string(k + 1);
    vec::WaveSet& w = c.waves[static_cast<size_t>(k)];
    w.Amplitude = ini.ReadInteger(s, "Amplitude", 0);
    w.Cycles = ini.ReadInteger(s, "Cycles", 0);
    w.PhaseStep = ini.ReadInteger(s, "PhaseStep", 0);
    w.Forward = ini.ReadInteger(s, "Forward", 0);
    w.Horizontal = static_cast<uint8_t>(ini.ReadInteger(s, "Horizontal", 0));
    w.Vertical = static_cast<uint8_t>(ini.ReadInteger(s, "Vertical", 0));
    w.Perspective = static_cast<uint8_t>(ini.ReadInteger(s, "Perspective", 0));
    w.Period = ini.ReadInteger(s, "Period", 360);
    w.Scatter = ini.ReadInteger(s, "Scatter", 0);
    w.Mirror = static_cast<uint8_t>(ini.ReadInteger(s, "Mirror", 0));
  }
  vec::WeatherSettings& k = c.weather;
  k.Kind = ini.ReadInteger("Weather", "Kind", 0);
  k.Count = ini.ReadInteger("Weather", "Count", 0);
  k.SpeedIndex = ini.ReadInteger("Weather", "SpeedIndex", 10);
  k.Angle = ini.ReadInteger("Weather", "Angle", 90);
  k.Length = ini.ReadInteger("Weather", "Length", 0);
  k.Opacity = ini.ReadInteger("Weather", "Opacity", 0);
  for (int i = 0; i < vec::kSoundSlotCount; ++i) {
    const std::string s = "Sound" + std::to_string(i + 1);
    vec::SoundSlot& slot = c.soundSlots[static_cast<size_t>(i)];
    slot.FileName = ini.ReadString(s, "FileName", "");
    if (slot.FileName.size() > vec::SoundSlot::kMaxNameLength)
      return Fail(s + ": FileName is longer than 255 characters");
    slot.PlayMode = ini.ReadInteger(s, "PlayMode", 0);
    slot.IntervalMin = ini.ReadInteger(s, "IntervalMin", 0);
    slot.IntervalMax = ini.ReadInteger(s, "IntervalMax", 0);
  }
  for (const auto& line :
       SectionLines(settingsText, [](std::string_view n) { return StartsWithNoCase(n, "Obj"); }))
    c.objects += line + "\r\n";
  c.buildInfo = vec::JoinCommaText(SectionLines(settingsText, [](std::string_view n) {
    return vec::EqualsNoCase(n, "BuildScr") || vec::EqualsNoCase(n, "BuildExe");
  }));

  const std::vector<uint8_t> bytes = vec::WritePictureFile(c);
  std::ofstream f(o.out, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) return Fail("cannot write " + o.out);
  return 0;
}

}  // namespace

void vectool::AddVepCommand(Commands& commands) {
  auto o = std::make_shared<VepOptions>();
  CLI::App& vep =
      commands.Add("vep", "build a picture file from a picture, a mask and a settings INI",
                   [o] { return RunVep(*o); });
  vep.add_option("--picture", o->picture, "the picture (JPEG kept as it is)")->required();
  vep.add_option("--mask", o->mask, "the mask picture in the four area colours");
  vep.add_option("--settings", o->settings, "the settings INI (FILE.ini)");
  vep.add_option("--preview", o->preview, "the preview picture (default: made from the picture)");
  vep.add_option("-o,--output", o->out, "the picture file to write (OUT.vep)")->required();
}
