#include "graphics/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "graphics/ResampleRows.h"

namespace vec {

namespace {

constexpr int32_t kWeightOne = 1 << kResampleWeightBits;

double Lanczos3(double x) {
  x = std::fabs(x);
  if (x < 1e-9) return 1.0;
  if (x >= 3.0) return 0.0;
  const double px = std::numbers::pi * x;
  return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

double Tent(double x) {
  x = std::fabs(x);
  return x < 1.0 ? 1.0 - x : 0.0;
}

using Contributions = ResampleTaps;

// Output indices [o0, o1) of an axis of dLen outputs over source indices [s0, s0 + sLen);
// source indices are clamped to [s0, s0 + sLen) and also to [0, limit).
Contributions BuildContributions(int32_t s0, int32_t sLen, int32_t dLen, int32_t o0, int32_t o1,
                                 ResampleKernel kernel) {
  Contributions c;
  const double scale = static_cast<double>(sLen) / dLen;
  const double filterScale = std::max(scale, 1.0);
  const double radius = (kernel == ResampleKernel::Lanczos3 ? 3.0 : 1.0) * filterScale;
  const int32_t lo = s0, hi = s0 + sLen - 1;
  std::vector<double> w;
  for (int32_t i = o0; i < o1; ++i) {
    const double center = (i + 0.5) * scale - 0.5 + s0;
    int64_t jmin = static_cast<int64_t>(std::floor(center - radius)) + 1;
    int64_t jmax = static_cast<int64_t>(std::floor(center + radius));
    jmin = std::clamp<int64_t>(jmin, lo, hi);
    jmax = std::clamp<int64_t>(jmax, lo, hi);
    // Window over the clamped indices; taps outside fold into the edge pixels.
    const int64_t rawMin = static_cast<int64_t>(std::floor(center - radius)) + 1;
    const int64_t rawMax = static_cast<int64_t>(std::floor(center + radius));
    w.assign(static_cast<size_t>(jmax - jmin + 1), 0.0);
    double sum = 0;
    for (int64_t j = rawMin; j <= rawMax; ++j) {
      const double x = (static_cast<double>(j) - center) / filterScale;
      const double k = kernel == ResampleKernel::Lanczos3 ? Lanczos3(x) : Tent(x);
      const int64_t jc = std::clamp<int64_t>(j, jmin, jmax);
      w[static_cast<size_t>(jc - jmin)] += k;
      sum += k;
    }
    if (std::fabs(sum) < 1e-12) {
      w.assign(w.size(), 0.0);
      w[static_cast<size_t>(std::clamp<int64_t>(std::llround(center), jmin, jmax) - jmin)] = 1.0;
      sum = 1.0;
    }
    int32_t first = static_cast<int32_t>(jmin);
    int32_t count = static_cast<int32_t>(w.size());
    std::vector<int32_t> iw(w.size());
    int32_t total = 0;
    size_t biggest = 0;
    for (size_t k = 0; k < w.size(); ++k) {
      iw[k] = static_cast<int32_t>(std::lround(w[k] / sum * kWeightOne));
      total += iw[k];
      if (std::abs(iw[k]) > std::abs(iw[biggest])) biggest = k;
    }
    iw[biggest] += kWeightOne - total;
    bool padFront = false;
    if (count % 2 != 0) {
      // Pad to an even count with a zero weight, inside the valid source range.
      if (first + count <= hi) {
        iw.push_back(0);
      } else if (first > lo) {
        --first;
        padFront = true;
      } else {
        iw.push_back(0);  // a one-pixel source: the pad repeats the pixel (weight 0)
      }
      ++count;
    }
    c.first.push_back(first);
    c.count.push_back(count);
    c.offset.push_back(static_cast<int32_t>(c.weights.size()));
    if (padFront) c.weights.push_back(0);
    for (int32_t v : iw) c.weights.push_back(static_cast<int16_t>(v));
  }
  return c;
}

void ResampleNearest(const PixelView& src, const Rect& sr, int32_t dw, int32_t dh,
                     const Rect& window, const PixelTarget& out) {
  const int64_t sw = sr.Width(), sh = sr.Height();
  std::vector<int32_t> xs(static_cast<size_t>(window.Width()));
  for (int32_t x = window.left; x < window.right; ++x) {
    xs[static_cast<size_t>(x - window.left)] =
        static_cast<int32_t>(sr.left + (2 * static_cast<int64_t>(x) + 1) * sw / (2 * dw));
  }
  for (int32_t y = window.top; y < window.bottom; ++y) {
    const int32_t syRow =
        static_cast<int32_t>(sr.top + (2 * static_cast<int64_t>(y) + 1) * sh / (2 * dh));
    const Pixel* in = src.Row(syRow);
    Pixel* o = out.Row(y - window.top);
    for (size_t k = 0; k < xs.size(); ++k) o[k] = in[xs[k]];
  }
}

// Plain average of the source pixels whose area falls in each output pixel (shrinking).
void ResampleBox(const PixelView& src, const Rect& sr, int32_t dw, int32_t dh, const Rect& window,
                 const PixelTarget& out) {
  const int64_t sw = sr.Width(), sh = sr.Height();
  auto range = [](int64_t i, int64_t s, int64_t d, int64_t& a, int64_t& b) {
    a = i * s / d;
    b = std::max(a + 1, (i + 1) * s / d);
  };
  for (int32_t y = window.top; y < window.bottom; ++y) {
    int64_t y0, y1;
    range(y, sh, dh, y0, y1);
    Pixel* o = out.Row(y - window.top);
    for (int32_t x = window.left; x < window.right; ++x) {
      int64_t x0, x1;
      range(x, sw, dw, x0, x1);
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int64_t yy = y0; yy < y1; ++yy) {
        const Pixel* in = src.Row(static_cast<int32_t>(sr.top + yy));
        for (int64_t xx = x0; xx < x1; ++xx) {
          const Pixel p = in[sr.left + xx];
          for (int ch = 0; ch < 4; ++ch) sum[ch] += (p >> (8 * ch)) & 0xFF;
        }
      }
      const uint64_t n = static_cast<uint64_t>((y1 - y0) * (x1 - x0));
      Pixel p = 0;
      for (int ch = 0; ch < 4; ++ch) p |= static_cast<Pixel>((sum[ch] + n / 2) / n) << (8 * ch);
      o[x - window.left] = p;
    }
  }
}

}  // namespace

void Resample(const PixelView& src, const Rect& srcRect, int32_t dw, int32_t dh, const Rect& window,
              ResampleKernel kernel, const PixelTarget& out) {
  const Rect sr{std::max(srcRect.left, 0), std::max(srcRect.top, 0),
                std::min(srcRect.right, src.width), std::min(srcRect.bottom, src.height)};
  if (sr.IsEmpty() || dw <= 0 || dh <= 0 || window.IsEmpty()) return;
  if (kernel == ResampleKernel::Nearest) return ResampleNearest(src, sr, dw, dh, window, out);
  if (kernel == ResampleKernel::Box) return ResampleBox(src, sr, dw, dh, window, out);

  const Contributions cx =
      BuildContributions(sr.left, sr.Width(), dw, window.left, window.right, kernel);
  const Contributions cy =
      BuildContributions(sr.top, sr.Height(), dh, window.top, window.bottom, kernel);

  // Source rows that the vertical pass reads.
  int32_t rowMin = sr.bottom, rowMax = sr.top - 1;
  for (size_t i = 0; i < cy.first.size(); ++i) {
    rowMin = std::min(rowMin, cy.first[i]);
    rowMax = std::max(rowMax, std::min(cy.first[i] + cy.count[i] - 1, sr.bottom - 1));
  }
  const int32_t ww = window.Width();
  const ResampleRowKernels& kernels = CurrentResampleRowKernels();
  std::vector<Pixel> mid(static_cast<size_t>(rowMax - rowMin + 1) * static_cast<size_t>(ww));
  for (int32_t y = rowMin; y <= rowMax; ++y) {
    const Pixel* in = src.Row(y);
    kernels.horizontalRow(in, sr.right, cx,
                          mid.data() + static_cast<size_t>(y - rowMin) * static_cast<size_t>(ww));
  }
  std::vector<const Pixel*> rows;
  for (int32_t y = 0; y < window.Height(); ++y) {
    const size_t i = static_cast<size_t>(y);
    rows.clear();
    for (int32_t k = 0; k < cy.count[i]; ++k) {
      const int32_t r = std::min(cy.first[i] + k, rowMax);
      rows.push_back(mid.data() + static_cast<size_t>(r - rowMin) * static_cast<size_t>(ww));
    }
    kernels.verticalRow(rows.data(), cy.count[i], cy.weights.data() + cy.offset[i], ww, out.Row(y));
  }
}

}  // namespace vec
