#include "picture/Picture.h"

#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "base/MathUtil.h"
#include "graphics/AspectFit.h"
#include "graphics/Blit.h"
#include "picture/MaskRowStretch.h"
#include "picture/PictureFileReader.h"

namespace vec {
namespace {

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

// Bilinear resampling of the colour channels (the fourth byte is not interpolated; the
// result's is 255), pixel centres mapped onto pixel centres and edge pixels repeated.
// pixman reads the device bitmap's bottom-up rows through a negative stride, so no copy
// of the picture is made. The SRC operator over the whole target writes every pixel;
// returns false, having written nothing, when pixman cannot describe the bitmaps.
bool ResampleBilinear(const BottomUpBitmap& src, BottomUpBitmap& dst) {
  auto view = [](const BottomUpBitmap& b, pixman_format_code_t format) {
    auto* top = const_cast<Pixel*>(b.ScanLine(0));
    return pixman_image_create_bits(format, b.Width(), b.Height(), top, -b.Width() * 4);
  };
  pixman_image_t* s = view(src, PIXMAN_x8r8g8b8);
  pixman_image_t* d = view(dst, PIXMAN_a8r8g8b8);
  const bool drawn = s != nullptr && d != nullptr;
  if (drawn) {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_int_to_fixed(src.Width()) / dst.Width(),
                                pixman_int_to_fixed(src.Height()) / dst.Height());
    pixman_image_set_transform(s, &t);
    pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, dst.Width(),
                             dst.Height());
  }
  if (s != nullptr) pixman_image_unref(s);
  if (d != nullptr) pixman_image_unref(d);
  return drawn;
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void Picture::ResetContent() {
  // Nothing of a previous picture survives a reload, also when the new load fails.
  loaded = false;
  fileName.clear();
  image = BottomUpBitmap();
  preview = BottomUpBitmap();
  mask = AreaMask();
  waveSets = {};
  weather = {};
  Title.clear();
  Author.clear();
  designWidth = designHeight = 0;
  singleSound.clear();
  soundSlots = {};
  objects.Clear();
  extraInfo = {};
  lastError.clear();
}

int32_t Picture::SoundCount() const {
  for (int32_t i = 0; i < kSoundSlotCount; ++i)
    if (soundSlots[static_cast<size_t>(i)].FileName.empty()) return i;
  return kSoundSlotCount;
}

bool Picture::LoadFromFile(const std::string& name) {
  return LoadFromMemoryOrFile(nullptr, 0, name, true);
}

bool Picture::LoadFromMemory(const uint8_t* data, size_t size, const std::string& name) {
  return LoadFromMemoryOrFile(data, size, name, false);
}

bool Picture::LoadFromMemoryOrFile(const uint8_t* data, size_t size, const std::string& name,
                                   bool fromFile) {
  try {
    PictureFileReader loader;
    ResetContent();
    Status status = fromFile ? loader.LoadFull(name) : loader.LoadFullFromMemory(data, size);
    // The engine reads the mask at the picture's size; a mask of another size is fitted
    // to it as it is decoded (pixels repeated or dropped, so every value stays a mask
    // value), so a declared size never costs memory of its own.
    if (status.ok()) status = loader.CopyMask(mask, loader.image.Width(), loader.image.Height());
    if (!status) {
      lastError = status.error().message;
      return false;
    }
    loader.TakePicture(image);
    loader.TakePreview(preview);
    loader.CopyWaves(waveSets);
    loader.CopyWeather(weather);
    loader.CopySoundSlots(soundSlots);
    fileName = name;
    Title = loader.Title;
    Author = loader.Author;
    singleSound = loader.singleSound;

    designWidth = image.Width();
    designHeight = image.Height();
    weather = WeatherAsShown(weather);

    if (!singleSound.empty() && !EqualsAsciiNoCase(singleSound, "<NO SOUND>")) {
      // With all eight slots in use the single sound has no place and is dropped.
      const int32_t slot = SoundCount();
      if (slot < kSoundSlotCount) {
        SoundSlot& s = soundSlots[static_cast<size_t>(slot)];
        s.FileName = singleSound.substr(0, SoundSlot::kMaxNameLength);
        s.PlayMode = 0;
      }
    }
    singleSound.clear();
    loaded = true;

    objects.Load(loader.objects);
    extraInfo.Load(loader.buildInfo);
    return true;
  } catch (const std::exception& e) {
    lastError = e.what();
    return false;
  }
}

bool Picture::LoadPreview(const std::string& name, IPictureMessages* messages) {
  std::string message;
  try {
    PictureFileReader loader;
    ResetContent();
    Status status = loader.LoadPreview(name);
    if (status.ok()) {
      loader.CopyPreview(preview);
      fileName = name;
      Title = loader.Title;
      Author = loader.Author;
      loaded = true;
      return true;
    }
    message = status.error().message;
  } catch (const std::exception& e) {
    message = e.what();
  }
  lastError = message;
  if (messages != nullptr) messages->ShowError("File: " + name + "\r\n" + message);
  return false;
}

void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) {
  const int32_t w = picture.image.Width(), h = picture.image.Height();
  if (w <= 0 || h <= 0 || width <= 0 || height <= 0) return;
  int64_t W = width, H = height;
  if (keepAspect) {
    const FitSize fit = FitByAspect(w, h, width, height);
    W = fit.width, H = fit.height;
  }
  // The scales are doubles taken first (new size / old size) and then multiplied, so a
  // product whose exact value is a half rounds where the double's error puts it.
  const double scaleX = static_cast<double>(W) / w, scaleY = static_cast<double>(H) / h;
  for (auto& wave : picture.waveSets) {
    wave.Amplitude = ClampToInt32(RoundHalfEven64(scaleX * wave.Amplitude));
    wave.Scatter = ClampToInt32(RoundHalfEven64(scaleY * wave.Scatter));
  }
  const int32_t newW = static_cast<int32_t>(W), newH = static_cast<int32_t>(H);

  BottomUpBitmap image;
  AreaMask mask;
  FitImage(picture.image, newW, newH, image);
  FitMask(picture.mask, newW, newH, mask);
  picture.image = std::move(image);
  picture.mask = std::move(mask);
}

void FitImage(const BottomUpBitmap& image, int32_t width, int32_t height, BottomUpBitmap& fitted) {
  fitted.SelectClipRgn(nullptr);
  if (image.Empty()) {
    fitted.SetSize(width, height);
    return;
  }
  fitted.SetSizeForOverwrite(width, height);
  if (!ResampleBilinear(image, fitted)) fitted.SetSize(width, height);
}

void FitMask(const AreaMask& mask, int32_t width, int32_t height, AreaMask& fitted) {
  fitted.SetSizeForOverwrite(width, height);
  if (fitted.Empty()) return;
  if (mask.Empty()) {
    std::memset(fitted.Row(0), 0, fitted.PixelCount());
    return;
  }
  const MaskRowStretch row(mask.Width(), WholeStretchMap(mask.Width(), width, true));
  const MaskStretchKernels& kernels = CurrentMaskStretchKernels();
  const std::vector<int32_t> rowOf = WholeStretchMap(mask.Height(), height, false);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = fitted.Row(y);
    const int32_t from = rowOf[static_cast<size_t>(y)];
    // Rows showing the mask row of the row above copy it.
    if (y > 0 && from == rowOf[static_cast<size_t>(y - 1)])
      std::memcpy(out, fitted.Row(y - 1), static_cast<size_t>(width));
    else
      kernels.drawRow(row, out, mask.Row(from));
  }
}

}  // namespace vec
