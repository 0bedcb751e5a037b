#include "slideshow/ShowDisplay.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/AspectFit.h"

namespace vec {

namespace {

// Copies `rows` rows of `width` pixels; the callers clip beforehand.
void CopyRow(Pixel* dst, const Pixel* src, int32_t width) {
  std::memcpy(dst, src, static_cast<size_t>(width) * sizeof(Pixel));
}

void Fill(BlendBitmap& bmp, Pixel color) {
  if (bmp.Empty()) return;
  std::fill_n(bmp.Bits(), static_cast<size_t>(bmp.Width()) * bmp.Height(), color);
}

constexpr Pixel kBlack = 0;

}  // namespace

ScreenDisplay::ScreenDisplay(int32_t width, int32_t height, bool directAvailable)
    : directAvailable_(directAvailable) {
  ResizeScreen(width, height);
}

void ScreenDisplay::ResizeScreen(int32_t width, int32_t height) {
  screen_.SetSize(std::max(width, 0), std::max(height, 0));
  Fill(screen_, kBlack);
}

bool ScreenDisplay::InitDirect() {
  direct_ = directAvailable_ && !screen_.Empty();
  return direct_;
}

void ScreenDisplay::Present(const BlendBitmap& frame, int32_t x, int32_t y) {
  if (direct_) {
    if (surface_.Width() != frame.Width() || surface_.Height() != frame.Height())
      surface_.SetSize(frame.Width(), frame.Height());
    if (!frame.Empty())
      std::memcpy(surface_.Bits(), frame.Bits(),
                  static_cast<size_t>(frame.Width()) * frame.Height() * sizeof(Pixel));
  } else {
    // Clip the frame against the screen; a frame larger than the screen is cropped.
    const int32_t left = std::max(x, 0), top = std::max(y, 0);
    const int32_t right = std::min<int64_t>(int64_t{x} + frame.Width(), screen_.Width());
    const int32_t bottom = std::min<int64_t>(int64_t{y} + frame.Height(), screen_.Height());
    for (int32_t row = top; row < bottom; ++row)
      if (right > left)
        CopyRow(screen_.ScanLine(row) + left, frame.ScanLine(row - y) + (left - x), right - left);
  }
  ++presents_;
  Presented();
}

void ScreenDisplay::Present(const BottomUpBitmap& frame) {
  BlendBitmap& target = direct_ ? surface_ : screen_;
  if (direct_ && (surface_.Width() != frame.Width() || surface_.Height() != frame.Height()))
    surface_.SetSize(frame.Width(), frame.Height());
  const int32_t width = std::min(frame.Width(), target.Width());
  const int32_t height = std::min(frame.Height(), target.Height());
  for (int32_t row = 0; row < height && width > 0; ++row)
    CopyRow(target.ScanLine(row), frame.ScanLine(row), width);
  ++presents_;
  Presented();
}

void ScreenDisplay::Capture(BottomUpBitmap& out) const {
  const BlendBitmap& source = direct_ ? surface_ : screen_;
  if (out.Width() != source.Width() || out.Height() != source.Height())
    out.SetSize(source.Width(), source.Height());
  for (int32_t row = 0; row < source.Height(); ++row)
    CopyRow(out.ScanLine(row), source.ScanLine(row), source.Width());
}

void ScreenDisplay::FillBlack() {
  Fill(screen_, kBlack);
  if (direct_) Fill(surface_, kBlack);
  Presented();
}

void ScreenDisplay::Compose(BlendBitmap& out) const {
  out.SetSize(screen_.Width(), screen_.Height());
  if (!direct_) {
    if (!screen_.Empty())
      std::memcpy(out.Bits(), screen_.Bits(),
                  static_cast<size_t>(screen_.Width()) * screen_.Height() * sizeof(Pixel));
    return;
  }
  if (surface_.Empty()) {
    Fill(out, kBlack);
    return;
  }
  // The surface is a 4:3 picture mode: it fills the largest 4:3 area of the screen (nearest
  // pixel), and the bars around it are black.
  const Rect area = LetterboxArea(out.Width(), out.Height());
  const int32_t w = area.Width(), h = area.Height();
  std::vector<int32_t> columns(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x)
    columns[static_cast<size_t>(x)] = static_cast<int32_t>(int64_t{x} * surface_.Width() / w);
  const size_t rowBytes = static_cast<size_t>(out.Width()) * sizeof(Pixel);
  for (int32_t y = 0; y < area.top; ++y) std::memset(out.ScanLine(y), 0, rowBytes);
  for (int32_t y = area.bottom; y < out.Height(); ++y) std::memset(out.ScanLine(y), 0, rowBytes);
  int32_t previousSource = -1;
  for (int32_t y = 0; y < h; ++y) {
    Pixel* row = out.ScanLine(area.top + y);
    const auto source = static_cast<int32_t>(int64_t{y} * surface_.Height() / h);
    if (source == previousSource) {
      // An enlarged surface repeats its rows.
      std::memcpy(row, out.ScanLine(area.top + y - 1), rowBytes);
      continue;
    }
    previousSource = source;
    std::fill_n(row, area.left, kBlack);
    std::fill(row + area.right, row + out.Width(), kBlack);
    const Pixel* src = surface_.ScanLine(source);
    Pixel* dst = row + area.left;
    for (int32_t x = 0; x < w; ++x) dst[x] = src[columns[static_cast<size_t>(x)]];
  }
}

}  // namespace vec
