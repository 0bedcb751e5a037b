#include "picture/Mask.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "graphics/Blit.h"
#include "graphics/ImageFile.h"
#include "picture/Picture.h"

namespace vec {

namespace {

Status CheckDeclaredSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > kMaxImageDimension || height > kMaxImageDimension)
    return Error::Make(ErrorCode::BadMask, "Invalid area mask size " + std::to_string(width) +
                                               " x " + std::to_string(height));
  return {};
}

uint8_t AreaOfCode(int32_t code) {
  const int32_t index = code % 10;
  return (index >= 1 && index <= 4) ? static_cast<uint8_t>(index) : 0;
}

}  // namespace

Status DecodeMask(const std::vector<int32_t>& values, AreaMask& mask) {
  if (values.size() < 2) {
    mask = AreaMask();
    return {};
  }
  TRY(CheckDeclaredSize(values[0], values[1]));
  return DecodeMaskFitted(values, values[0], values[1], mask);
}

Status DecodeMaskFitted(const std::vector<int32_t>& values, int32_t width, int32_t height,
                        AreaMask& mask) {
  if (values.size() >= 2) TRY(CheckDeclaredSize(values[0], values[1]));
  mask = AreaMask(width, height);
  if (values.size() < 2 || mask.Empty()) return {};
  const int64_t mw = values[0], mh = values[1];
  if (mw == 0 || mh == 0) return {};

  // Mask column of each output column and mask row of each output row; both never
  // decrease, so the output rows of one mask row are a contiguous range.
  const std::vector<int32_t> columnOf =
      WholeStretchMap(static_cast<int32_t>(mw), mask.Width(), true);
  const std::vector<int32_t> rowOf =
      WholeStretchMap(static_cast<int32_t>(mh), mask.Height(), false);
  // The mask rows that some output row shows, each with its first output row, in order
  // (at most one entry per output row, whatever height the values declare).
  struct ShownRow {
    int64_t maskRow;
    int32_t outRow;
  };
  std::vector<ShownRow> shown;
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const int64_t row = rowOf[static_cast<size_t>(y)];
    if (shown.empty() || shown.back().maskRow != row) shown.push_back({row, y});
  }

  // Each run covers a span of mask positions in row order. Only the part of it on mask
  // rows that some output row shows is written, into that row's first output row; a run of
  // no area writes nothing, and a run over many rows visits only the shown ones.
  const int64_t total = mw * mh;
  int64_t pos = 0;
  for (size_t i = 2; i < values.size() && pos < total; ++i) {
    const int64_t run = values[i] / 10;
    if (run <= 0) continue;
    const int64_t end = std::min(total, pos + run);
    const uint8_t area = AreaOfCode(values[i]);
    const int64_t lastRow = (end - 1) / mw;
    auto it = std::lower_bound(shown.begin(), shown.end(), pos / mw,
                               [](const ShownRow& s, int64_t row) { return s.maskRow < row; });
    for (; area != 0 && it != shown.end() && it->maskRow <= lastRow; ++it) {
      const int64_t row = it->maskRow;
      const int32_t outRow = it->outRow;
      const int64_t from = std::max(pos, row * mw) - row * mw;
      const int64_t to = std::min(end, (row + 1) * mw) - row * mw;
      const auto first = std::lower_bound(columnOf.begin(), columnOf.end(), from);
      const auto last = std::lower_bound(first, columnOf.end(), to);
      uint8_t* line = mask.Row(outRow);
      std::fill(line + (first - columnOf.begin()), line + (last - columnOf.begin()), area);
    }
    pos = end;
  }
  // Output rows that show the same mask row as the row above copy it.
  for (int32_t y = 1; y < mask.Height(); ++y)
    if (rowOf[static_cast<size_t>(y)] == rowOf[static_cast<size_t>(y - 1)])
      std::copy_n(mask.Row(y - 1), mask.Width(), mask.Row(y));
  return {};
}

int AreaIndexOf(uint32_t pixel) {
  const uint32_t rgb = pixel & 0x00FFFFFF;
  for (int i = 1; i <= 4; ++i)
    if (rgb == kAreaColors[static_cast<size_t>(i)]) return i;
  return 0;
}

std::vector<int32_t> EncodeMask(const AreaMask& mask) {
  std::vector<int32_t> out{mask.Width(), mask.Height()};
  if (mask.Empty()) return out;
  constexpr int64_t kMaxRun = std::numeric_limits<int32_t>::max() / 10;
  int index = -1;
  int64_t run = 0;
  auto flush = [&] {
    while (run > 0) {
      const int64_t n = std::min(run, kMaxRun);
      out.push_back(static_cast<int32_t>(n * 10 + index));
      run -= n;
    }
  };
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const uint8_t* line = mask.Row(y);
    for (int32_t x = 0; x < mask.Width(); ++x) {
      const int i = line[x];
      if (i != index) {
        flush();
        index = i;
      }
      ++run;
    }
  }
  flush();
  return out;
}

std::array<int64_t, 5> CountMaskValues(const AreaMask& mask) {
  std::array<int64_t, 5> counts{};
  const uint8_t* p = mask.Indices();
  for (size_t i = 0; i < mask.PixelCount(); ++i)
    if (p[i] < counts.size()) ++counts[p[i]];
  return counts;
}

AreaMask AreaMaskFromColors(const BottomUpBitmap& colors) {
  AreaMask mask(colors.Width(), colors.Height());
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const Pixel* in = colors.ScanLine(y);
    uint8_t* out = mask.Row(y);
    for (int32_t x = 0; x < mask.Width(); ++x) out[x] = static_cast<uint8_t>(AreaIndexOf(in[x]));
  }
  return mask;
}

BottomUpBitmap AreaColorsOf(const AreaMask& mask) {
  BottomUpBitmap colors(mask.Width(), mask.Height());
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const uint8_t* in = mask.Row(y);
    Pixel* out = colors.ScanLine(y);
    for (int32_t x = 0; x < mask.Width(); ++x)
      out[x] = in[x] < kAreaColors.size() ? kAreaColors[in[x]] : 0;
  }
  return colors;
}

}  // namespace vec
