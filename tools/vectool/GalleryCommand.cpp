// vectool gallery: an animated GIF (or WebP) of every transition effect from one picture to
// another, and an index.html that shows them all with their numbers and names.
//
//   vectool gallery --old A --new B --out DIR [--size WxH] [--frames N] [--seed S]
//                   [--format gif|webp] [--quality Q]

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/ImageFile.h"
#include "graphics/PictureUtilities.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/FrameOutput.h"
#include "tools/vectool/ProgressLine.h"
#include "transitions/Effect.h"
#include "transitions/EffectStep.h"

namespace vectool {
namespace {

constexpr int32_t kMaxGallerySide = 4096;
constexpr int32_t kMaxFrames = 200;
constexpr int32_t kTransitionMs = 2000;  // one transition plays over about two seconds
constexpr int32_t kHoldMs = 1000;        // the finished picture stays a second before the loop
constexpr int32_t kShortestFrameMs = 20;

// The picture as the slideshow shows a still picture with Stretch and Proportional on:
// fitted by aspect into W x H with Lanczos resampling, centred on black.
vec::BottomUpBitmap FitCentred(const vec::BlendBitmap& src, int32_t W, int32_t H) {
  vec::BottomUpBitmap out(W, H);
  for (size_t i = 0; i < out.PixelCount(); ++i) out.Bits()[i] = vec::MakePixel(0, 0, 0);
  const int32_t w = src.Width(), h = src.Height();
  if (w <= 0 || h <= 0) return out;
  const double ratio = static_cast<double>(w) / h;
  int32_t width = W, height = H;
  if (static_cast<int64_t>(h) * W / H < w) {
    height = std::clamp(vec::RoundHalfEven(W / ratio), 1, H);
  } else {
    width = std::clamp(vec::RoundHalfEven(H * ratio), 1, W);
  }
  vec::BlendBitmap fitted(width, height);
  vec::StretchLanczos(src, fitted);
  fitted.DrawTo(out, (W - width) / 2, (H - height) / 2);
  return out;
}

vec::ErrorOr<vec::BottomUpBitmap> LoadPicture(const std::string& path, int32_t W, int32_t H) {
  vec::ErrorOr<vec::BlendBitmap> image = vec::LoadImageFromFile(path);
  if (!image) return vec::Error::Make(image.error().code, path + ": " + image.error().message);
  return FitCentred(image.value(), W, H);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string AnimationName(int32_t number, AnimationFormat format) {
  char name[32];
  std::snprintf(name, sizeof name, "effect-%03d", number);
  return name + std::string(AnimationExtension(format));
}

// One effect from Old to New as an animation of `frames` frames from 0 % to 100 %.
vec::Status WriteEffectAnimation(const vec::Effect& effect, const vec::BottomUpBitmap& oldBmp,
                                 const vec::BottomUpBitmap& newBmp, int32_t frames, uint32_t seed,
                                 AnimationWriter& writer, const std::filesystem::path& file) {
  const int32_t W = oldBmp.Width(), H = oldBmp.Height();
  TRY(writer.Open(file.string(), W, H));
  // Each effect starts from the same seed, so a gallery can be made again identically.
  vec::SetRandSeed(seed);
  const int32_t delay = std::max(kShortestFrameMs, kTransitionMs / frames);
  vec::BottomUpBitmap work;
  work.SetSize(W, H);
  for (int32_t i = 0; i < frames; ++i) {
    const int32_t percent = vec::RoundHalfEven(i * 100.0 / (frames - 1));
    vec::DrawEffectStep(&effect, work, oldBmp, newBmp, percent);
    TRY(writer.AddFrame(work, i + 1 == frames ? kHoldMs : delay));
  }
  return writer.Close();
}

vec::Status WriteIndex(const std::filesystem::path& file, int32_t W, int32_t H,
                       AnimationFormat format) {
  const auto cannotWrite = [&file] {
    return vec::Error::Make(vec::ErrorCode::WriteFailed, "cannot write " + file.string());
  };
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return cannotWrite();
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>Transition effects</title>\n<style>\n"
      << "body{background:#222;color:#ddd;font-family:sans-serif;margin:1em}\n"
      << "main{display:flex;flex-wrap:wrap;gap:1em}\n"
      << "figure{margin:0;width:" << W << "px}\n"
      << "figcaption{font-size:0.9em;margin-top:0.3em}\n"
      << "img{display:block;width:" << W << "px;height:" << H << "px}\n"
      << "</style>\n</head>\n<body>\n<h1>Transition effects</h1>\n<main>\n";
  for (const vec::Effect& effect : vec::EffectTable()) {
    const std::string name = HtmlEscape(effect.name);
    out << "<figure id=\"effect-" << effect.number << "\"><img src=\""
        << AnimationName(effect.number, format) << "\" alt=\"" << name
        << "\" loading=\"lazy\"><figcaption>" << effect.number << ". " << name
        << "</figcaption></figure>\n";
  }
  out << "</main>\n</body>\n</html>\n";
  out.close();
  if (!out) return cannotWrite();
  return {};
}

struct GalleryOptions {
  std::string oldPath, newPath, outDir;
  std::string size = "320x240";
  int32_t frames = 20;
  uint32_t seed = 1;
  std::string format = "gif";
  std::optional<int> quality;
};

int RunGallery(const GalleryOptions& o) {
  int32_t W = 0, H = 0;
  if (!ParseSize(o.size, kMaxGallerySide, W, H))
    return Fail("--size must be WxH with sides from 1 to " + std::to_string(kMaxGallerySide));
  const int32_t frames = o.frames;
  const uint32_t seed = o.seed;

  const vec::ErrorOr<vec::BottomUpBitmap> oldBmp = LoadPicture(o.oldPath, W, H);
  if (!oldBmp) return Fail(oldBmp.error().message);
  const vec::ErrorOr<vec::BottomUpBitmap> newBmp = LoadPicture(o.newPath, W, H);
  if (!newBmp) return Fail(newBmp.error().message);

  const std::filesystem::path dir(o.outDir);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir))
    return Fail("cannot create " + dir.string() + (ec ? ": " + ec.message() : ""));

  const AnimationFormat format = o.format == "webp" ? AnimationFormat::Webp : AnimationFormat::Gif;
  // The caller's generator is left as it was found.
  const vec::SavedRandSeed savedSeed;
  ProgressLine progress("gallery", static_cast<int64_t>(vec::EffectTable().size()), "effects");
  int64_t written = 0;
  for (const vec::Effect& effect : vec::EffectTable()) {
    const std::string name = AnimationName(effect.number, format);
    const std::unique_ptr<AnimationWriter> writer =
        MakeAnimationWriter(format, AnimationSettings{o.quality});
    if (vec::Status written =
            WriteEffectAnimation(effect, *oldBmp, *newBmp, frames, seed, *writer, dir / name);
        !written) {
      progress.Finish();  // the message gets a line of its own
      return Fail(name + ": " + written.error().message);
    }
    ++written;
    progress.Update(written, written);
  }
  progress.Finish();
  if (vec::Status index = WriteIndex(dir / "index.html", W, H, format); !index)
    return Fail(index.error().message);
  std::cout << "wrote " << vec::EffectTable().size() << " effects to " << dir.string() << "\n";
  return 0;
}

}  // namespace

void AddGalleryCommand(Commands& commands) {
  auto o = std::make_shared<GalleryOptions>();
  CLI::App& gallery = commands.Add(
      "gallery",
      "an animated GIF or WebP of every effect (JPEG, BMP or GIF pictures) and an index.html",
      [o] { return RunGallery(*o); });
  gallery.add_option("--old", o->oldPath, "the picture shown before")->required();
  gallery.add_option("--new", o->newPath, "the picture shown after")->required();
  gallery.add_option("--out", o->outDir, "the folder to write (made when missing)")->required();
  gallery.add_option("--size", o->size, "each animation, W x H pixels")
      ->check(PictureSize(kMaxGallerySide));
  gallery.add_option("--frames", o->frames, "frames of each animation")
      ->transform(WholeNumber())
      ->check(CLI::Range(2, kMaxFrames));
  gallery.add_option("--seed", o->seed, "the random seed every effect starts from")
      ->transform(WholeNumber())
      ->check(CLI::Range(uint32_t{0}, UINT32_MAX));
  gallery.add_option("--format", o->format, "gif (256 colours a frame) or webp (full colour)")
      ->check(CLI::IsMember({"gif", "webp"}));
  AddQualityOption(gallery, o->quality);
}

}  // namespace vectool
