#pragma once
// Running vectool as a program from the tool tests, and the small input files they hand it.

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/package/PackageTestUtil.h"

namespace vec::testing {

struct ToolResult {
  int code;
  std::string out;
  std::string err;
};

// Runs "vectool ARGS" (ARGS as a shell would split them) with its output in the folder.
inline ToolResult Vectool(const std::string& args, const ScratchDir& dir) {
  std::string cmd =
      std::string(VECTOOL_PATH) + " " + args + " >" + dir / "out.txt" + " 2>" + dir / "err.txt";
  int status = std::system(cmd.c_str());
  // A crash reads as -1, so a test expecting "non-zero" still tells it from an error exit.
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / "out.txt"),
          ReadBytes(dir / "err.txt")};
}

inline bool Mentions(const std::string& text, const std::string& word) {
  return text.find(word) != std::string::npos;
}

// Little-endian, at most four bytes.
inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Little-endian, at most four bytes; 0 past the end of the data (a missing or short file
// then fails the comparisons instead of being read out of bounds).
inline uint32_t GetLe(const std::string& data, size_t at, int bytes = 4) {
  if (at > data.size() || data.size() - at < static_cast<size_t>(bytes)) return 0;
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<uint32_t>(static_cast<uint8_t>(data[at + static_cast<size_t>(i)]))
             << (8 * i);
  return value;
}

// A colour as 0xAARRGGBB.
using Argb = uint32_t;

// A bottom-up bitmap file, 24-bit (the fourth byte of each colour dropped) or 32-bit, whose
// pixel (x, y) is colour(x, y).
template <class ColourAt>
std::string BmpFile(int32_t w, int32_t h, int bits, ColourAt colour) {
  const uint32_t stride = (static_cast<uint32_t>(w) * static_cast<uint32_t>(bits) + 31) / 32 * 4;
  const uint32_t size = stride * static_cast<uint32_t>(h);
  std::string out = "BM";
  PutLe(out, 54 + size, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(w), 4);
  PutLe(out, static_cast<uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bits), 2);
  PutLe(out, 0, 4);
  PutLe(out, size, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);  // colours used
  PutLe(out, 0, 4);  // important colours
  for (int32_t y = h - 1; y >= 0; --y) {
    std::string row;
    for (int32_t x = 0; x < w; ++x) {
      const Argb c = colour(x, y);
      PutLe(row, c, bits / 8);
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

// A 24-bit bitmap file of one colour.
inline std::string SolidBmp(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b) {
  const Argb c = (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  return BmpFile(w, h, 24, [c](int32_t, int32_t) { return c; });
}

// Pixel (x, y) of an uncompressed 24- or 32-bit bitmap file as 0xAARRGGBB (0 in the fourth
// byte of a 24-bit file), read from the bytes: the header's size and row order, the rows'
// padding.
inline Argb BmpPixel(const std::string& file, int32_t x, int32_t y) {
  const auto height = static_cast<int32_t>(GetLe(file, 22));
  const uint32_t bits = GetLe(file, 28, 2);
  const uint32_t width = GetLe(file, 18);
  const uint32_t stride = (width * bits + 31) / 32 * 4;
  const int32_t rows = height < 0 ? -height : height;
  const int32_t fileRow = height < 0 ? y : rows - 1 - y;
  const size_t at =
      GetLe(file, 10) + static_cast<size_t>(fileRow) * stride + static_cast<size_t>(x) * (bits / 8);
  return GetLe(file, at, static_cast<int>(bits / 8));
}

// Width and height of a bitmap file; a top-down file's negative height counted as rows.
inline std::pair<int32_t, int32_t> BmpSize(const std::string& file) {
  const auto height = static_cast<int32_t>(GetLe(file, 22));
  return {static_cast<int32_t>(GetLe(file, 18)), height < 0 ? -height : height};
}

// A picture whose colour follows x and y, so a shift or a swapped axis shows.
inline std::string GradientBmp(int32_t w, int32_t h) {
  return BmpFile(w, h, 24, [](int32_t x, int32_t y) {
    return static_cast<Argb>(((x * 5) & 0xFF) << 16 | ((y * 12) & 0xFF) << 8 | 0x40);
  });
}

// The mask colour of the first water area, 0xRRGGBB.
inline constexpr Argb kArea1 = 0x0000FF;

// A picture whose water moves at a rate fixed by time alone: area 1 everywhere, a phase step
// of 5 per 50 ms (a whole number for every frame length used here), no randomness; written
// by vep as water.vep in the folder. Empty when vep fails. `extraSettings` go on the wave.
inline std::string WaterPicture(const ScratchDir& dir, const std::string& extraSettings = "") {
  WriteBytes(dir / "pic.bmp", GradientBmp(40, 20));
  WriteBytes(dir / "mask.bmp", BmpFile(40, 20, 24, [](int32_t, int32_t) { return kArea1; }));
  WriteBytes(dir / "pic.ini",
             "[Wave1]\r\nAmplitude=6\r\nCycles=2\r\nPhaseStep=5\r\nForward=1\r\n"
             "Horizontal=1\r\nVertical=1\r\n" +
                 extraSettings);
  const ToolResult made =
      Vectool("vep --picture " + dir / "pic.bmp" + " --mask " + dir / "mask.bmp" + " --settings " +
                  dir / "pic.ini" + " -o " + dir / "water.vep",
              dir);
  if (made.code != 0) return {};
  return dir / "water.vep";
}

}  // namespace vec::testing
