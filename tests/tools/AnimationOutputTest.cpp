// What the offline commands write: the quantiser's colours, and the GIF and WebP files read
// back with their own libraries (giflib, libwebp's animation decoder).

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <webp/demux.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "tests/package/PackageTestUtil.h"
#include "tools/vectool/AnimationWriter.h"
#include "tools/vectool/GifWriter.h"
#include "tools/vectool/Quantiser.h"
#include "tools/vectool/WebpWriter.h"

namespace vectool {
namespace {

using vec::MakePixel;
using vec::Pixel;
using vec::testing::ReadBytes;

// What went wrong in a step, empty when it succeeded: ASSERT_EQ(Why(step), "") shows it.
std::string Why(const vec::Status& status) {
  return status.ok() ? std::string() : status.error().message;
}
using vec::testing::ScratchDir;

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb Of(Pixel p) {
  return {vec::PixelR(p), vec::PixelG(p), vec::PixelB(p)};
}
Rgb Of(PaletteColour c) {
  return {c.r, c.g, c.b};
}

// Five colours with unequal channels (a red/blue swap shows), laid out so that no row or
// column repeats another: a swapped axis or a lost area offset shows too.
const Pixel kFive[] = {MakePixel(200, 30, 10), MakePixel(10, 90, 240), MakePixel(250, 250, 0),
                       MakePixel(0, 0, 0), MakePixel(70, 160, 120)};

vec::BlendBitmap FiveColours(int32_t w, int32_t h) {
  vec::BlendBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, kFive[(x * 2 + y * 3 + x * y) % 5]);
  return b;
}

// The quantiser keeps a picture of few colours exactly, in the whole picture and in an area
// (whose pixels come from the area's place, not from the corner).
TEST(Quantiser, FewColoursComeOutExact) {
  const vec::BlendBitmap picture = FiveColours(11, 6);
  struct Case {
    const char* name;
    PictureArea area;
  };
  for (const Case& c : {Case{"whole", {}}, Case{"area", {3, 2, 5, 3}}}) {
    SCOPED_TRACE(c.name);
    vec::ErrorOr<IndexedPicture> quantised = Quantiser().Quantise(picture, c.area);
    ASSERT_TRUE(quantised.ok()) << quantised.error().message;
    const IndexedPicture& out = quantised.value();
    const PictureArea a = c.area.w > 0 ? c.area : PictureArea{0, 0, 11, 6};
    ASSERT_EQ(out.width, a.w);
    ASSERT_EQ(out.height, a.h);
    EXPECT_LE(out.palette.size(), 5U);
    for (int32_t y = 0; y < a.h; ++y)
      for (int32_t x = 0; x < a.w; ++x)
        ASSERT_EQ(Of(out.At(x, y)), Of(picture.GetPixel(a.x + x, a.y + y)))
            << "at " << x << "," << y;
  }
}

// A gradient of 512 colours along one line through the colour cube: red rises as green falls.
// The fixed 6 x 7 x 6 palette formerly used had red levels 51 apart and green levels 42.5
// apart; over an even ramp of red from 0 to 255 the nearest of such levels is on average a
// quarter step away (12.75 for red, 10.6 for green), and dithering only adds to the error
// of each pixel. So that palette's mean error per channel is at least (12.75 + 10.6) / 3 =
// 7.8. Fitted to the picture, 256 colours over 512 steps of one unit each should stay
// within a unit or two; a quarter of that bound leaves room for the dithering.
TEST(Quantiser, GradientErrorFarBelowTheFixedPalette) {
  constexpr int32_t W = 512, H = 8;
  vec::BlendBitmap picture(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      picture.SetPixel(
          x, y,
          MakePixel(static_cast<uint8_t>(x >> 1), static_cast<uint8_t>(255 - ((x + 1) >> 1)), 60));
  vec::ErrorOr<IndexedPicture> quantised = Quantiser().Quantise(picture, {});
  ASSERT_TRUE(quantised.ok()) << quantised.error().message;
  const IndexedPicture& out = quantised.value();
  double sum = 0;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const Rgb want = Of(picture.GetPixel(x, y)), got = Of(out.At(x, y));
      sum += std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b);
    }
  const double meanPerChannel = sum / (W * H * 3.0);
  constexpr double kFixedPaletteAtLeast = (12.75 + 42.5 / 4) / 3;
  EXPECT_LT(meanPerChannel, kFixedPaletteAtLeast / 4);
}

// A GIF read back frame by frame, each frame's rectangle drawn over the last as its
// disposal (do not dispose) says.
struct GifFrames {
  int width = 0, height = 0;
  std::vector<std::vector<Rgb>> frames;
  std::vector<int> delaysCs;
};

GifFrames ReadGif(const std::string& path) {
  GifFrames out;
  int code = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
  EXPECT_NE(gif, nullptr);
  if (!gif) return out;
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  std::vector<Rgb> canvas(static_cast<size_t>(out.width * out.height), Rgb{-1, -1, -1});
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    EXPECT_NE(map, nullptr);
    if (!map) break;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const GifColorType c = map->Colors[image.RasterBits[y * d.Width + x]];
        canvas[static_cast<size_t>((d.Top + y) * out.width + d.Left + x)] = {c.Red, c.Green,
                                                                             c.Blue};
      }
    out.frames.push_back(canvas);
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, i, &control);
    out.delaysCs.push_back(control.DelayTime);
  }
  DGifCloseFile(gif, &code);
  return out;
}

std::vector<Rgb> Colours(const vec::BlendBitmap& b) {
  std::vector<Rgb> out;
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) out.push_back(Of(b.GetPixel(x, y)));
  return out;
}

// Three frames: the first, the same again, then one with a small area changed away from
// the corner. Size, count and every pixel must survive; the delays follow the frames' end
// times (33, 66 and 100 ms end at 3, 6 and 10 hundredths), so a frame-by-frame rounding
// (3, 3, 3) or a unit mix-up shows.
TEST(GifAnimationWriter, FramesKeepSizeCountColoursAndTime) {
  ScratchDir dir;
  const vec::BlendBitmap first = FiveColours(13, 7);
  vec::BlendBitmap third = first;
  third.SetPixel(9, 5, MakePixel(255, 255, 255));
  third.SetPixel(10, 4, MakePixel(255, 255, 255));
  const std::string path = dir / "a.gif";
  GifAnimationWriter gif;
  ASSERT_EQ(Why(gif.Open(path, 13, 7)), "");
  ASSERT_EQ(Why(gif.AddFrame(first, 33)), "");
  ASSERT_EQ(Why(gif.AddFrame(first, 33)), "");
  ASSERT_EQ(Why(gif.AddFrame(third, 34)), "");
  ASSERT_EQ(Why(gif.Close()), "");

  const GifFrames read = ReadGif(path);
  EXPECT_EQ(read.width, 13);
  EXPECT_EQ(read.height, 7);
  ASSERT_EQ(read.frames.size(), 3U);
  EXPECT_EQ(read.frames[0], Colours(first));
  EXPECT_EQ(read.frames[1], Colours(first));
  EXPECT_EQ(read.frames[2], Colours(third));
  EXPECT_EQ(read.delaysCs, (std::vector<int>{3, 3, 4}));
}

struct WebpFrames {
  int width = 0, height = 0;
  std::vector<std::vector<Rgb>> frames;
  std::vector<int> endsMs;
};

WebpFrames ReadWebp(const std::string& path) {
  WebpFrames out;
  const std::string bytes = ReadBytes(path);
  WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  EXPECT_NE(decoder, nullptr);
  if (!decoder) return out;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  out.width = static_cast<int>(info.canvas_width);
  out.height = static_cast<int>(info.canvas_height);
  uint8_t* rgba = nullptr;
  int timestamp = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder) &&
         WebPAnimDecoderGetNext(decoder, &rgba, &timestamp)) {
    std::vector<Rgb> frame;
    for (int i = 0; i < out.width * out.height; ++i)
      frame.push_back({rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]});
    out.frames.push_back(std::move(frame));
    out.endsMs.push_back(timestamp);
  }
  WebPAnimDecoderDelete(decoder);
  return out;
}

// Two colours, red on the left three columns and blue on the rest, then the other way round:
// a red/blue swap in the pixel layout, a transposed canvas or a lost duration shows.
// Lossless by default, so the pixels come back exact; at a quality the two flat colours
// come back close (within 24 per channel away from the edge between them).
TEST(WebpAnimationWriter, DecodedIndependentlyWithSizeCountTimesAndPixels) {
  constexpr int32_t W = 9, H = 4;
  const Pixel red = MakePixel(230, 20, 10), blue = MakePixel(15, 40, 220);
  vec::BlendBitmap a(W, H), b(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      a.SetPixel(x, y, x < 3 ? red : blue);
      b.SetPixel(x, y, x < 3 ? blue : red);
    }
  struct Case {
    const char* name;
    std::optional<int> quality;
    int tolerance;
  };
  for (const Case& c : {Case{"lossless", std::nullopt, 0}, Case{"quality 90", 90, 24}}) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const std::string path = dir / "a.webp";
    WebpAnimationWriter webp(c.quality);
    ASSERT_EQ(Why(webp.Open(path, W, H)), "");
    ASSERT_EQ(Why(webp.AddFrame(a, 40)), "");
    ASSERT_EQ(Why(webp.AddFrame(b, 70)), "");
    ASSERT_EQ(Why(webp.AddFrame(a, 120)), "");
    ASSERT_EQ(Why(webp.Close()), "");

    const WebpFrames read = ReadWebp(path);
    EXPECT_EQ(read.width, W);
    EXPECT_EQ(read.height, H);
    ASSERT_EQ(read.frames.size(), 3U);
    EXPECT_EQ(read.endsMs, (std::vector<int>{40, 110, 230}));
    const vec::BlendBitmap* want[] = {&a, &b, &a};
    for (size_t f = 0; f < 3; ++f)
      for (int32_t y = 0; y < H; ++y)
        for (int32_t x : {0, 1, 6, 7, 8}) {
          const Rgb w = Of(want[f]->GetPixel(x, y)), g = read.frames[f][y * W + x];
          ASSERT_LE(std::abs(w.r - g.r) + std::abs(w.g - g.g) + std::abs(w.b - g.b),
                    c.tolerance * 3)
              << "frame " << f << " at " << x << "," << y;
        }
  }
}

// The commands' wiring, run as the program: the extension chooses the format (each file is
// read back by its own library), the size asked for is the canvas (40 x 24, so swapped sides
// show), and the frames' times add up to the seconds played (5 frames at 5 per second are
// 20 hundredths each, one second in all). A still picture gives five equal frames, which the
// WebP encoder may join into one frame of their total time.
TEST(AnimationOutputCommands, ExtensionChoosesFormatWithSizeAndTime) {
  const std::string data = VEC_TEST_DATA;
  struct Case {
    const char* name;
    std::string args;
    const char* out;
  };
  const Case cases[] = {
      {"animate gif", "animate " + data + "/picture/sample.vep", "a.gif"},
      {"animate webp", "animate " + data + "/picture/sample.vep", "a.webp"},
      {"animate webp capitals", "animate " + data + "/picture/sample.vep", "a.WEBP"},
      {"animate lossy webp", "animate --quality 60 " + data + "/picture/sample.vep", "a.webp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const std::string out = dir / c.out;
    const std::string command = std::string(VECTOOL_PATH) + " " + c.args +
                                " --size 40x24 --seconds 1 --fps 5 --out " + out + " 2>" +
                                dir / "err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir / "err.txt");
    const std::string bytes = ReadBytes(out);
    struct stat st {};
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644U) << "giflib makes its files for the owner alone";
    if (AnimationFormatOf(out) == AnimationFormat::Gif) {
      ASSERT_EQ(bytes.substr(0, 6), "GIF89a");
      const GifFrames read = ReadGif(out);
      EXPECT_EQ(read.width, 40);
      EXPECT_EQ(read.height, 24);
      EXPECT_EQ(read.delaysCs, (std::vector<int>{20, 20, 20, 20, 20}));
    } else {
      ASSERT_EQ(bytes.substr(8, 4), "WEBP");
      const WebpFrames read = ReadWebp(out);
      EXPECT_EQ(read.width, 40);
      EXPECT_EQ(read.height, 24);
      ASSERT_FALSE(read.endsMs.empty());
      EXPECT_EQ(read.endsMs.back(), 1000);
    }
  }
}

// The gallery's --format: every effect in that format, and the index shows those files.
TEST(AnimationOutputCommands, GalleryWritesTheChosenFormat) {
  const std::string images = std::string(VEC_TEST_DATA) + "/images/";
  ScratchDir dir;
  const std::string command = std::string(VECTOOL_PATH) + " gallery --old " + images +
                              "picture64x40.jpg --new " + images +
                              "mask64x40.bmp --size 10x6 --frames 3 --format webp --out " +
                              dir / "g >/dev/null 2>" + dir / "err.txt";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir / "err.txt");
  const WebpFrames first = ReadWebp(dir / "g/effect-001.webp");
  EXPECT_EQ(first.width, 10);
  EXPECT_EQ(first.height, 6);
  // Two frames of 666 ms, then the finished picture held for a second.
  ASSERT_FALSE(first.endsMs.empty());
  EXPECT_EQ(first.endsMs.back(), 666 + 666 + 1000);
  EXPECT_TRUE(std::filesystem::exists(dir / "g/effect-169.webp"));
  const std::string index = ReadBytes(dir / "g/index.html");
  EXPECT_NE(index.find("src=\"effect-169.webp\""), std::string::npos);
  EXPECT_EQ(index.find(".gif"), std::string::npos);
}

}  // namespace
}  // namespace vectool
