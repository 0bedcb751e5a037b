// vectool effect: renders one transition frame offline, for comparing effects pixel by
// pixel with independent references.
//
//   vectool effect --number N --percent P --old OLD.bmp --new NEW.bmp --seed S --out OUT.bmp
//   vectool effect --list

#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "base/Random.h"
#include "graphics/Bmp.h"
#include "graphics/ImageFile.h"
#include "tools/vectool/Command.h"
#include "transitions/Effect.h"
#include "transitions/EffectStep.h"

namespace vectool {
namespace {

using vec::BottomUpBitmap;
using vec::Pixel;

// Reads an uncompressed 24- or 32-bit bitmap file as it is stored: unlike the picture
// loaders, the fourth byte of a 32-bit file is kept, because the effects carry it over
// and the references compare it. 24-bit pixels get a fourth byte of 0.
vec::ErrorOr<BottomUpBitmap> ReadRawBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return vec::Error::Make(vec::ErrorCode::OpenFailed, "cannot open " + path);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u16 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(data[at]) |
                                 (static_cast<uint8_t>(data[at + 1]) << 8));
  };
  auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M')
    return vec::Error::Make(vec::ErrorCode::BadMagic, path + ": not a bitmap file");
  const uint32_t offset = u32(10), header = u32(14);
  const auto width = static_cast<int32_t>(u32(18)), height = static_cast<int32_t>(u32(22));
  const uint32_t bits = u16(28), compression = u32(30);
  // BI_RGB, or BI_BITFIELDS with the usual masks (checked below).
  if (header < 40 || (bits != 24 && bits != 32) || (compression != 0 && compression != 3))
    return vec::Error::Make(vec::ErrorCode::Unsupported,
                            path + ": only uncompressed 24- and 32-bit bitmaps are read");
  if (compression == 3) {
    const size_t masks = header >= 52 ? 54 : 14 + size_t{header};
    if (bits != 32 || data.size() < masks + 12 || u32(masks) != 0x00FF0000u ||
        u32(masks + 4) != 0x0000FF00u || u32(masks + 8) != 0x000000FFu)
      return vec::Error::Make(vec::ErrorCode::Unsupported, path + ": unsupported bit-field masks");
  }
  const bool bottomUp = height > 0;
  const int64_t rows = bottomUp ? int64_t{height} : -int64_t{height};
  if (width <= 0 || rows <= 0 || width > vec::kMaxImageDimension || rows > vec::kMaxImageDimension)
    return vec::Error::Make(vec::ErrorCode::BadSize, path + ": unsupported size");
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if (offset > data.size() || (data.size() - offset) / stride < static_cast<size_t>(rows))
    return vec::Error::Make(vec::ErrorCode::Truncated, path + ": truncated");
  BottomUpBitmap bmp(width, static_cast<int32_t>(rows));
  for (int32_t r = 0; r < rows; ++r) {
    // File row r is picture row (rows - 1 - r) when stored bottom-up.
    const int32_t y = bottomUp ? static_cast<int32_t>(rows - 1 - r) : r;
    const auto* src = reinterpret_cast<const uint8_t*>(data.data()) + offset + r * stride;
    Pixel* dst = bmp.ScanLine(y);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = src + static_cast<size_t>(x) * (bits / 8);
      dst[x] = vec::MakePixel(p[2], p[1], p[0], bits == 32 ? p[3] : 0);
    }
  }
  return bmp;
}

int List() {
  for (const vec::Effect& e : vec::EffectTable()) std::cout << e.number << ' ' << e.name << '\n';
  return 0;
}

struct EffectOptions {
  bool list = false;
  std::optional<int32_t> number;
  std::optional<int32_t> percent;
  std::optional<std::string> oldPath, newPath, outPath;
  int64_t seed = 0;
};

int RunEffect(const EffectOptions& o) {
  if (o.list) return List();
  if (!o.number || !o.percent || !o.oldPath || !o.newPath || !o.outPath)
    return Fail("--number, --percent, --old, --new and --out are required");
  const int32_t number = *o.number, percent = *o.percent;
  const std::string &oldPath = *o.oldPath, &newPath = *o.newPath, &outPath = *o.outPath;
  // The seed is a 32-bit value; a negative one is taken modulo 2^32.
  const auto seed = static_cast<uint32_t>(o.seed);

  const vec::Effect& effect = vec::EffectByNumber(number);

  const vec::ErrorOr<BottomUpBitmap> oldBmp = ReadRawBmp(oldPath);
  if (!oldBmp) return Fail(oldBmp.error().message);
  const vec::ErrorOr<BottomUpBitmap> newBmp = ReadRawBmp(newPath);
  if (!newBmp) return Fail(newBmp.error().message);
  if (oldBmp->Width() != newBmp->Width() || oldBmp->Height() != newBmp->Height())
    return Fail("the old and new pictures differ in size");

  vec::SetRandSeed(seed);
  BottomUpBitmap work;
  work.SetSize(oldBmp->Width(), oldBmp->Height());
  vec::DrawEffectStep(&effect, work, *oldBmp, *newBmp, percent);

  const vec::Status saved = vec::SaveBmp32(work, outPath);
  if (!saved) return Fail("cannot write " + outPath + ": " + saved.error().message);
  return 0;
}

}  // namespace

void AddEffectCommand(Commands& commands) {
  auto o = std::make_shared<EffectOptions>();
  CLI::App& effect = commands.Add("effect", "render one transition frame, or list the effects",
                                  [o] { return RunEffect(*o); });
  CLI::Option* list = effect.add_flag("--list", o->list, "list the effects' numbers and names");
  const std::vector<CLI::Option*> frame = {
      effect.add_option("--number", o->number, "the effect number")
          ->transform(WholeNumber())
          ->check(CLI::Range(1, vec::kEffectCount)),
      effect.add_option("--percent", o->percent, "how far the transition has gone")
          ->transform(WholeNumber())
          ->check(CLI::Range(0, 100)),
      effect.add_option("--old", o->oldPath, "the picture shown before (24- or 32-bit BMP)"),
      effect.add_option("--new", o->newPath, "the picture shown after (24- or 32-bit BMP)"),
      effect.add_option("--out", o->outPath, "the frame to write (32-bit BMP)"),
      effect.add_option("--seed", o->seed, "the random seed, 32 bits")
          ->transform(WholeNumber())
          ->check(CLI::Range(int64_t{INT32_MIN}, int64_t{UINT32_MAX})),
  };
  for (CLI::Option* option : frame) list->excludes(option);
}

}  // namespace vectool
