// The images of animated objects: finding the file, loading still pictures and GIFs,
// their transparency and the pixel combine they are drawn with.

#include "animation/ImageObjects.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "base/MathUtil.h"
#include "graphics/Gif.h"
#include "graphics/ImageFile.h"

namespace vec::anim {

namespace {

namespace fs = std::filesystem;

// Decoded frames of one GIF object, counting the mirrored copies, are kept below this.
constexpr int64_t kMaxObjectGifPixels = int64_t{1} << 25;
// A frame shorter than this is shown for this long (as players do for delay 0).
constexpr uint32_t kMinFrameDelayMs = 10;

// The classic Windows scheme, by system colour index (0x00BBGGRR).
constexpr Color kSystemColors[] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800, 0xC8D0D4};

}  // namespace

int32_t GifPlaybackPercent(int32_t animSpeed) {
  const int64_t s = animSpeed;
  return static_cast<int32_t>(std::clamp<int64_t>(s <= 10 ? s * 10 : s * 50 - 400, 0, 1000000));
}

uint8_t OpacityToMasterAlpha(int32_t opacity) {
  const int64_t v = RoundHalfEven64(static_cast<double>(opacity) * 2550.0 / 100.0);
  return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

Pixel StoredColorToPixel(int32_t color) {
  Color c = static_cast<Color>(color);
  if (color < 0) {
    const size_t index = c & 0xFF;
    c = index < std::size(kSystemColors) ? kSystemColors[index] : 0;
  }
  return ColorToPixel(c & 0xFFFFFF, 0xFF);
}

Pixel CombineObjectPixel(Pixel src, Pixel dst, uint32_t m, bool useKey, Pixel key) {
  if (useKey && src == key) return dst;
  m &= 0xFF;
  auto mix = [m](uint32_t s, uint32_t d) { return (s * m + d * (255 - m)) / 255; };
  return (m << 24) | (mix(PixelR(src), PixelR(dst)) << 16) | (mix(PixelG(src), PixelG(dst)) << 8) |
         mix(PixelB(src), PixelB(dst));
}

// ---- KeyedImageObject ----

void KeyedImageObject::Reset() {
  // A file found nowhere leaves the object as it is; without an image it draws nothing.
  if (!FindAndLoadImage()) return;
  CommonReset();
}

void KeyedImageObject::PrepareFrame(BlendBitmap& bmp, bool useKey) const {
  bmp.drawMode = DrawMode::Custom;
  bmp.masterAlpha = OpacityToMasterAlpha(keys_.Opacity);
  // A keyed image is sampled pixel by pixel: averaging would mix the key colour into the
  // pixels around it, and those mixtures, no longer equal to the key, would show as a
  // coloured fringe when the image is drawn smaller than its own size.
  bmp.stretchFilter = useKey ? StretchFilter::Nearest : StretchFilter::Draft;
  const Pixel key = keyColor_;
  bmp.onPixelCombine = [useKey, key](Pixel s, Pixel d, uint32_t m) {
    return CombineObjectPixel(s, d, m, useKey, key);
  };
}

// ---- ImageObject ----

ImageObject::~ImageObject() {
  HaltWorker();
}

std::shared_ptr<const ObjectFrames> ImageObject::LoadImage(const std::string& path) {
  ErrorOr<BlendBitmap> loaded = LoadImageFromFile(path);
  if (!loaded || loaded->Empty()) return nullptr;
  auto img = std::make_shared<ObjectFrames>();
  BlendBitmap& bmp = loaded.value();
  keyColor_ = bmp.GetPixel(0, bmp.Height() - 1);
  if (keys_.TransparentType == 2) keyColor_ = StoredColorToPixel(keys_.TransparentColor);
  PrepareFrame(bmp, keys_.Transparent);
  img->width = bmp.Width();
  img->height = bmp.Height();
  img->path = path;
  img->frames.push_back(std::move(bmp));
  img->flipped.push_back(img->frames.front());
  img->flipped.front().FlipHorz();
  return img;
}

// ---- GifObject ----

GifObject::~GifObject() {
  HaltWorker();
}

void GifObject::Stop() {
  // The worker advances the frames, so it is paused before the painting flag changes.
  KeyedImageObject::Stop();
  painting_ = false;
}

void GifObject::Reset() {
  painting_ = false;
  KeyedImageObject::Reset();
  if (image_) {
    painting_ = true;
    paintStart_ = clock_->Ticks();
    frame_ = 0;
  }
}

void GifObject::AdvanceFrame(uint32_t now) {
  if (painting_) frame_ = FrameAt(TickDiff(now, paintStart_));
}

size_t GifObject::FrameAt(uint32_t ms) const {
  if (!image_ || image_->frameEnds.size() < 2) return 0;
  const uint64_t percent = static_cast<uint64_t>(GifPlaybackPercent(keys_.AnimSpeed));
  if (percent == 0) return 0;  // a speed of zero or less holds the first frame
  const uint64_t loop = image_->frameEnds.back();
  const uint64_t pos = (static_cast<uint64_t>(ms) * percent / 100) % loop;
  const auto it = std::upper_bound(image_->frameEnds.begin(), image_->frameEnds.end(), pos);
  return std::min(static_cast<size_t>(it - image_->frameEnds.begin()),
                  image_->frameEnds.size() - 1);
}

std::shared_ptr<const ObjectFrames> GifObject::LoadImage(const std::string& path) {
  // Every frame is kept composed and mirrored (two pictures of the logical screen), so the
  // decoder is held to half the limit; that also bounds the frames' indices it holds while
  // decoding, whatever the file declares.
  ErrorOr<GifImage> loaded = LoadGifFile(path, kMaxObjectGifPixels / 2);
  if (!loaded && loaded.error().code == ErrorCode::TooLarge)
    std::cerr << "vecsaver: the animated object " << path
              << " is not shown: " << loaded.error().message << "\n";
  if (!loaded || loaded->frames.empty() || loaded->width <= 0 || loaded->height <= 0)
    return nullptr;
  const GifImage& gif = loaded.value();

  // What the GIF itself shows, for the colour of each frame's bottom-left pixel.
  std::vector<BlendBitmap> own;
  if (keys_.TransparentType == 1) own = ComposeGifFrames(gif);

  GifComposeOptions options;
  options.allDisposeToBackground = keys_.RefreshFrame;
  const GifColor chosen{PixelR(StoredColorToPixel(keys_.TransparentColor)),
                        PixelG(StoredColorToPixel(keys_.TransparentColor)),
                        PixelB(StoredColorToPixel(keys_.TransparentColor))};
  for (size_t i = 0; i < gif.frames.size(); ++i) {
    const GifFrame& f = gif.frames[i];
    int32_t index = keys_.Transparent ? f.transparentIndex : -1;
    if (keys_.TransparentType == 2) {
      index = FindGlobalPaletteIndex(gif, chosen);
    } else if (keys_.TransparentType == 1 && i < own.size()) {
      const int32_t row = std::clamp(f.rect.bottom - 1, 0, gif.height - 1);
      const Pixel p = own[i].GetPixel(0, row);
      // A pixel the GIF leaves transparent has no colour; the frame keeps its own index.
      if (PixelA(p) != 0) index = FindGlobalPaletteIndex(gif, {PixelR(p), PixelG(p), PixelB(p)});
    }
    options.transparentIndex.push_back(index);
  }

  auto img = std::make_shared<ObjectFrames>();
  img->width = gif.width;
  img->height = gif.height;
  img->path = path;
  keyColor_ = kGifKeyColor;
  img->frames = ComposeGifFrames(gif, options);
  uint64_t end = 0;
  for (size_t i = 0; i < img->frames.size(); ++i) {
    BlendBitmap& bmp = img->frames[i];
    // Nothing painted there: the key colour, which the combine never draws.
    Pixel* p = bmp.Bits();
    for (size_t n = 0, count = static_cast<size_t>(bmp.Width()) * bmp.Height(); n < count; ++n)
      if (PixelA(p[n]) == 0) p[n] = kGifKeyColor;
    PrepareFrame(bmp, true);
    img->flipped.push_back(bmp);
    img->flipped.back().FlipHorz();
    const int32_t delay = i < gif.frames.size() ? gif.frames[i].delayMs : 0;
    end += std::max<uint32_t>(static_cast<uint32_t>(std::max(delay, 0)), kMinFrameDelayMs);
    img->frameEnds.push_back(static_cast<uint32_t>(std::min<uint64_t>(end, UINT32_MAX)));
  }
  if (img->frames.empty()) return nullptr;
  return img;
}

}  // namespace vec::anim
