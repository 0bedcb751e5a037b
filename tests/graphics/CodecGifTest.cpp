// GIF frames, their composition with disposal and transparency, and damaged files.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/Gif.h"
#include "graphics/ImageFile.h"

namespace vec {
namespace {

struct FrameSpec {
  int left, top, width, height;
  std::vector<uint8_t> indices;
  int disposal = 0;
  int transparent = -1;
  int delayCs = 0;
  bool interlace = false;
};

int WriteToVector(GifFileType* gif, const GifByteType* buf, int len) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), buf, buf + len);
  return len;
}

// Palette: 0 black, 1 red, 2 green, 3 blue.
std::vector<uint8_t> MakeGif(int w, int h, const std::vector<FrameSpec>& frames, int loops = -1) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
  const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, w, h, 2, 0, map);
  if (loops >= 0) {
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const uint8_t sub[3] = {1, uint8_t(loops & 0xFF), uint8_t(loops >> 8)};
    EGifPutExtensionBlock(gif, 3, sub);
    EGifPutExtensionTrailer(gif);
  }
  for (const auto& f : frames) {
    GraphicsControlBlock gcb{f.disposal, false, f.delayCs, f.transparent};
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
    EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr);
    std::vector<uint8_t> rows = f.indices;
    if (f.interlace) {  // rows go into the file in pass order
      rows.clear();
      const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
      for (int p = 0; p < 4; ++p)
        for (int y = start[p]; y < f.height; y += step[p])
          rows.insert(rows.end(), f.indices.begin() + y * f.width,
                      f.indices.begin() + (y + 1) * f.width);
    }
    for (int y = 0; y < f.height; ++y) EGifPutLine(gif, rows.data() + y * f.width, f.width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

constexpr Pixel kRed = MakePixel(255, 0, 0), kGreen = MakePixel(0, 255, 0),
                kBlue = MakePixel(0, 0, 255), kBlack = MakePixel(0, 0, 0), kClear = 0;

TEST(CodecGif, FramesCarryDelayDisposalTransparencyAndPalette) {
  const auto bytes = MakeGif(
      4, 2, {{0, 0, 4, 2, std::vector<uint8_t>(8, 1), 1, -1, 10}, {1, 0, 2, 1, {2, 3}, 2, 3, 25}},
      0);
  auto gif = DecodeGif(bytes.data(), bytes.size());
  ASSERT_TRUE(gif) << gif.error().message;
  EXPECT_EQ(gif->width, 4);
  EXPECT_EQ(gif->height, 2);
  EXPECT_EQ(gif->loopCount, 0);
  ASSERT_EQ(gif->globalPalette.size(), 4u);
  EXPECT_EQ(gif->globalPalette[1], (GifColor{255, 0, 0}));
  ASSERT_EQ(gif->frames.size(), 2u);
  EXPECT_EQ(gif->frames[0].delayMs, 100);
  EXPECT_EQ(gif->frames[1].delayMs, 250);
  EXPECT_EQ(gif->frames[1].disposal, GifDisposal::Background);
  EXPECT_EQ(gif->frames[1].transparentIndex, 3);
  EXPECT_EQ(gif->frames[1].rect, (Rect{1, 0, 3, 1}));
  EXPECT_EQ(FindGlobalPaletteIndex(gif.value(), {0, 0, 255}), 3);
  EXPECT_EQ(FindGlobalPaletteIndex(gif.value(), {1, 2, 3}), -1);
}

TEST(CodecGif, CompositionFollowsDisposal) {
  struct Case {
    const char* name;
    int firstDisposal;
    int secondDisposal;
    std::vector<Pixel> third;  // row 0 after frame 3
  };
  // Frame 1 fills red, frame 2 puts green at (1,0) and transparent index 3 at (2,0),
  // frame 3 draws blue at (3,0).
  const Case cases[] = {
      {"keep", 1, 1, {kRed, kGreen, kRed, kBlue}},
      {"background clears to transparent", 1, 2, {kRed, kClear, kClear, kBlue}},
      {"previous restores", 1, 3, {kRed, kRed, kRed, kBlue}},
      {"first frame cleared", 2, 1, {kClear, kGreen, kClear, kBlue}},
  };
  for (const auto& c : cases) {
    const auto bytes = MakeGif(4, 1,
                               {{0, 0, 4, 1, {1, 1, 1, 1}, c.firstDisposal},
                                {1, 0, 2, 1, {2, 3}, c.secondDisposal, 3},
                                {3, 0, 1, 1, {3}, 1}});
    auto gif = DecodeGif(bytes.data(), bytes.size());
    ASSERT_TRUE(gif) << c.name;
    const auto pictures = ComposeGifFrames(gif.value());
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0].GetPixel(2, 0), kRed) << c.name;
    EXPECT_EQ(pictures[1].GetPixel(1, 0), kGreen) << c.name;
    const std::vector<Pixel> got(pictures[2].ScanLine(0), pictures[2].ScanLine(0) + 4);
    EXPECT_EQ(got, c.third) << c.name;
  }
}

TEST(CodecGif, ComposeOptionsOverrideTransparencyAndDisposal) {
  const auto bytes = MakeGif(2, 1, {{0, 0, 2, 1, {1, 2}, 1, -1}, {0, 0, 1, 1, {3}, 1, -1}});
  auto gif = DecodeGif(bytes.data(), bytes.size());
  ASSERT_TRUE(gif);
  GifComposeOptions options;
  options.transparentIndex = {2, -1};  // green becomes see-through in frame 1
  auto pictures = ComposeGifFrames(gif.value(), options);
  EXPECT_EQ(pictures[0].GetPixel(1, 0), kClear);
  options = {};
  options.allDisposeToBackground = true;
  pictures = ComposeGifFrames(gif.value(), options);
  EXPECT_EQ(pictures[1].GetPixel(0, 0), kBlue);
  EXPECT_EQ(pictures[1].GetPixel(1, 0), kClear);
}

TEST(CodecGif, InterlacedRowsAreRestored) {
  std::vector<uint8_t> indices;
  for (int y = 0; y < 9; ++y) indices.push_back(static_cast<uint8_t>(y % 4));
  const auto bytes = MakeGif(1, 9, {{0, 0, 1, 9, indices, 0, -1, 0, true}});
  auto gif = DecodeGif(bytes.data(), bytes.size());
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->frames[0].indices, indices);
}

TEST(CodecGif, FramesReachingOutsideTheScreenAreClipped) {
  const auto bytes = MakeGif(2, 2, {{1, 1, 3, 3, std::vector<uint8_t>(9, 2)}});
  auto gif = DecodeGif(bytes.data(), bytes.size());
  ASSERT_TRUE(gif);
  const auto pictures = ComposeGifFrames(gif.value());
  EXPECT_EQ(pictures[0].GetPixel(1, 1), kGreen);
  EXPECT_EQ(pictures[0].GetPixel(0, 0), kClear);
}

TEST(CodecGif, IndexOutsideThePaletteIsBlack) {
  auto bytes = MakeGif(1, 1, {{0, 0, 1, 1, {3}}});
  auto gif = DecodeGif(bytes.data(), bytes.size());
  ASSERT_TRUE(gif);
  gif->globalPalette.resize(2);
  EXPECT_EQ(ComposeGifFrames(gif.value())[0].GetPixel(0, 0), kBlack);
}

TEST(CodecGif, DamagedFiles) {
  const auto two = MakeGif(
      8, 8, {{0, 0, 8, 8, std::vector<uint8_t>(64, 1)}, {0, 0, 8, 8, std::vector<uint8_t>(64, 2)}});
  const size_t oneFrameEnd = [&] {  // the second graphic control extension starts here
    for (size_t i = 20; i + 1 < two.size(); ++i)
      if (two[i] == 0x21 && two[i + 1] == 0xF9 && i > 40) return i;
    return two.size();
  }();
  // Logical screen of 20000 x 1.
  std::vector<uint8_t> wide = MakeGif(1, 1, {{0, 0, 1, 1, {1}}});
  wide[6] = 20000 & 0xFF;
  wide[7] = 20000 >> 8;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
    ErrorCode code;
    size_t frames;
    bool truncated;
  };
  const Case cases[] = {
      {"empty", {}, false, ErrorCode::Truncated, 0, false},
      {"not a GIF", {'G', 'I', 'F', '8', '9', 'x', 0, 0}, false, ErrorCode::Corrupt, 0, false},
      {"header only", {two.begin(), two.begin() + 13}, false, ErrorCode::Corrupt, 0, false},
      {"cut inside the first frame",
       {two.begin(), two.begin() + 40},
       false,
       ErrorCode::Truncated,
       0,
       false},
      {"cut inside the second frame",
       {two.begin(), two.end() - 6},
       true,
       ErrorCode::Corrupt,
       1,
       true},
      {"no trailer",
       {two.begin(), two.begin() + static_cast<long>(oneFrameEnd)},
       true,
       ErrorCode::Corrupt,
       1,
       false},
      {"screen wider than 16384", wide, false, ErrorCode::TooLarge, 0, false},
  };
  for (const auto& c : cases) {
    auto r = DecodeGif(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(r.ok(), c.ok) << c.name;
    if (!c.ok) {
      EXPECT_EQ(r.error().code, c.code) << c.name << ": " << r.error().message;
      continue;
    }
    EXPECT_EQ(r->frames.size(), c.frames) << c.name;
    EXPECT_EQ(r->truncated, c.truncated) << c.name;
  }
}

TEST(CodecGif, LoadsFirstFrameThroughTheImageLoader) {
  const auto bytes = MakeGif(3, 2, {{0, 0, 3, 2, {1, 2, 3, 0, 1, 2}}, {0, 0, 1, 1, {0}}});
  auto bmp = LoadImageFromMemory(bytes.data(), bytes.size());
  ASSERT_TRUE(bmp) << bmp.error().message;
  EXPECT_EQ(bmp->GetPixel(2, 0), kBlue);
  EXPECT_EQ(bmp->GetPixel(0, 0), kRed);
}

}  // namespace
}  // namespace vec
