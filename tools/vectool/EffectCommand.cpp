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
#include <optional>
#include <string>

#include "base/Random.h"
#include "graphics/Bmp.h"
#include "graphics/ImageFile.h"
#include "tools/vectool/Command.h"
#include "transitions/Effect.h"

namespace vectool {
namespace {

using vec::Bitmap;
using vec::Pixel;

// Reads an uncompressed 24- or 32-bit bitmap file as it is stored: unlike the picture
// loaders, the fourth byte of a 32-bit file is kept, because the effects carry it over
// and the references compare it. 24-bit pixels get a fourth byte of 0.
std::optional<Bitmap> ReadRawBmp(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return std::nullopt;
  }
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u16 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(data[at]) |
                                 (static_cast<uint8_t>(data[at + 1]) << 8));
  };
  auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') {
    error = path + ": not a bitmap file";
    return std::nullopt;
  }
  const uint32_t offset = u32(10), header = u32(14);
  const auto width = static_cast<int32_t>(u32(18)), height = static_cast<int32_t>(u32(22));
  const uint32_t bits = u16(28), compression = u32(30);
  // BI_RGB, or BI_BITFIELDS with the usual masks (checked below).
  if (header < 40 || (bits != 24 && bits != 32) || (compression != 0 && compression != 3)) {
    error = path + ": only uncompressed 24- and 32-bit bitmaps are read";
    return std::nullopt;
  }
  if (compression == 3) {
    const size_t masks = header >= 52 ? 54 : 14 + size_t{header};
    if (bits != 32 || data.size() < masks + 12 || u32(masks) != 0x00FF0000u ||
        u32(masks + 4) != 0x0000FF00u || u32(masks + 8) != 0x000000FFu) {
      error = path + ": unsupported bit-field masks";
      return std::nullopt;
    }
  }
  const bool bottomUp = height > 0;
  const int64_t rows = bottomUp ? int64_t{height} : -int64_t{height};
  if (width <= 0 || rows <= 0 || width > vec::kMaxImageDimension ||
      rows > vec::kMaxImageDimension) {
    error = path + ": unsupported size";
    return std::nullopt;
  }
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if (offset > data.size() || (data.size() - offset) / stride < static_cast<size_t>(rows)) {
    error = path + ": truncated";
    return std::nullopt;
  }
  Bitmap bmp(width, static_cast<int32_t>(rows));
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

template <class T>
std::optional<T> ParseInt(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  T value{};
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value, 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

int List() {
  for (const vec::Effect& e : vec::EffectTable()) std::cout << e.number << ' ' << e.name << '\n';
  return 0;
}

int RunEffect(const Args& args) {
  if (Flag(args, "--list")) return List();
  const auto number = ParseInt<int32_t>(Option(args, "--number"));
  const auto percent = ParseInt<int32_t>(Option(args, "--percent"));
  const std::optional<std::string> oldPath = Option(args, "--old");
  const std::optional<std::string> newPath = Option(args, "--new");
  const std::optional<std::string> outPath = Option(args, "--out");
  const std::optional<std::string> seedText = Option(args, "--seed");
  if (!number || *number < 1 || *number > vec::kEffectCount)
    return Fail("--number must be an effect number from 1 to 169");
  if (!percent || *percent < 0 || *percent > 100)
    return Fail("--percent must be an integer from 0 to 100");
  if (!oldPath || !newPath || !outPath) return Fail("--old, --new and --out are required");
  // The seed is a 32-bit value; a negative one is taken modulo 2^32.
  uint32_t seed = 0;
  if (seedText) {
    if (auto s = ParseInt<uint32_t>(seedText))
      seed = *s;
    else if (auto n = ParseInt<int32_t>(seedText))
      seed = static_cast<uint32_t>(*n);
    else
      return Fail("--seed must be a 32-bit integer");
  }

  const vec::Effect& effect = vec::EffectByNumber(*number);

  std::string error;
  std::optional<Bitmap> oldBmp = ReadRawBmp(*oldPath, error);
  if (!oldBmp) return Fail(error);
  std::optional<Bitmap> newBmp = ReadRawBmp(*newPath, error);
  if (!newBmp) return Fail(error);
  if (oldBmp->Width() != newBmp->Width() || oldBmp->Height() != newBmp->Height())
    return Fail("the old and new pictures differ in size");

  vec::SetRandSeed(seed);
  Bitmap work = *oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const vec::Extents e = vec::ProgressExtents(W, H, *percent);
  effect.Draw(vec::EffectFrame{work, *newBmp, W, H, e.w, e.h, *percent});

  const vec::Status saved = vec::SaveBmp32(work, *outPath);
  if (!saved) return Fail("cannot write " + *outPath + ": " + saved.error().message);
  return 0;
}

const Registration registration{
    {"effect",
     "effect --number N --percent P --old OLD.bmp --new NEW.bmp --seed S --out OUT.bmp | "
     "effect --list",
     RunEffect}};

}  // namespace
}  // namespace vectool
