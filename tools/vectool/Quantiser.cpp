#include "tools/vectool/Quantiser.h"

#include <libimagequant.h>

#include <memory>
#include <unordered_map>
#include <utility>

namespace vectool {

namespace {

struct AttrFree {
  void operator()(liq_attr* a) const { liq_attr_destroy(a); }
};
struct ImageFree {
  void operator()(liq_image* i) const { liq_image_destroy(i); }
};
struct ResultFree {
  void operator()(liq_result* r) const { liq_result_destroy(r); }
};

std::string LiqError(liq_error code) {
  switch (code) {
    case LIQ_OUT_OF_MEMORY:
      return "out of memory while quantising";
    case LIQ_VALUE_OUT_OF_RANGE:
      return "quantiser setting out of range";
    default:
      return "quantising failed (error " + std::to_string(static_cast<int>(code)) + ")";
  }
}

vec::Error Failed(std::string message) {
  return vec::Error::Make(vec::ErrorCode::WriteFailed, std::move(message));
}

// A picture of at most 256 colours needs no choosing: its own colours are the palette, and
// every pixel keeps its colour. (The quantiser at its faster speeds rounds the input's lowest
// bit away, and would lose that exactness.) False when there are more colours.
bool UseOwnColours(const std::vector<uint8_t>& rgba, IndexedPicture& out) {
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<PaletteColour> palette;
  std::vector<uint8_t> indices(rgba.size() / 4);
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t* p = rgba.data() + i * 4;
    const uint32_t key = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    const auto [at, added] = index.try_emplace(key, static_cast<uint8_t>(palette.size()));
    if (added) {
      if (palette.size() == 256) return false;
      palette.push_back({p[0], p[1], p[2]});
    }
    indices[i] = at->second;
  }
  out.palette = std::move(palette);
  out.indices = std::move(indices);
  return true;
}

}  // namespace

vec::ErrorOr<IndexedPicture> Quantiser::Quantise(const vec::BlendBitmap& picture,
                                                 PictureArea area) const {
  return QuantiseOf(picture, area);
}

vec::ErrorOr<IndexedPicture> Quantiser::Quantise(const vec::BottomUpBitmap& picture,
                                                 PictureArea area) const {
  return QuantiseOf(picture, area);
}

template <class Picture>
vec::ErrorOr<IndexedPicture> Quantiser::QuantiseOf(const Picture& picture, PictureArea area) const {
  if (area.w <= 0 || area.h <= 0) area = {0, 0, picture.Width(), picture.Height()};
  if (area.x < 0 || area.y < 0 || area.w <= 0 || area.h <= 0 || area.x > picture.Width() - area.w ||
      area.y > picture.Height() - area.h)
    return vec::Error::Make(vec::ErrorCode::BadSize, "area outside the picture");
  IndexedPicture out;
  out.width = area.w;
  out.height = area.h;
  std::vector<uint8_t> rgba(static_cast<size_t>(area.w) * static_cast<size_t>(area.h) * 4);
  uint8_t* to = rgba.data();
  for (int32_t y = area.y; y < area.y + area.h; ++y) {
    const vec::Pixel* row = picture.ScanLine(y) + area.x;
    for (int32_t x = 0; x < area.w; ++x, to += 4) {
      to[0] = vec::PixelR(row[x]);
      to[1] = vec::PixelG(row[x]);
      to[2] = vec::PixelB(row[x]);
      to[3] = 0xFF;
    }
  }
  TRY(QuantiseRgba(rgba, out));
  return out;
}

vec::Status Quantiser::QuantiseRgba(std::vector<uint8_t>& rgba, IndexedPicture& out) const {
  if (UseOwnColours(rgba, out)) return {};
  std::unique_ptr<liq_attr, AttrFree> attr(liq_attr_create());
  if (!attr) return Failed(LiqError(LIQ_OUT_OF_MEMORY));
  liq_error code = liq_set_max_colors(attr.get(), 256);
  if (code == LIQ_OK) code = liq_set_speed(attr.get(), speed_);
  if (code != LIQ_OK) return Failed(LiqError(code));
  std::unique_ptr<liq_image, ImageFree> image(
      liq_image_create_rgba(attr.get(), rgba.data(), out.width, out.height, 0));
  if (!image)
    return Failed("the quantiser refused a picture of " + std::to_string(out.width) + " x " +
                  std::to_string(out.height));
  liq_result* raw = nullptr;
  code = liq_image_quantize(image.get(), attr.get(), &raw);
  std::unique_ptr<liq_result, ResultFree> result(raw);
  if (code == LIQ_OK) code = liq_set_dithering_level(result.get(), dithering_);
  out.indices.assign(rgba.size() / 4, 0);
  if (code == LIQ_OK)
    code =
        liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size());
  if (code != LIQ_OK) return Failed(LiqError(code));
  const liq_palette* palette = liq_get_palette(result.get());
  out.palette.clear();
  for (unsigned i = 0; i < palette->count; ++i)
    out.palette.push_back({palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
  return {};
}

}  // namespace vectool
