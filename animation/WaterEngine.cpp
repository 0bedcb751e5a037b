#include "animation/WaterEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "animation/WaterKernels.h"
#include "base/Random.h"

namespace vec {

namespace {

constexpr int32_t kNoRowYet = 50000;

// Scatter offsets below this many values get a table of row pointers per offset value.
constexpr int32_t kMaxTableScatter = 64;
constexpr int32_t kBlock = kWaterBlock;
constexpr size_t kMaxBlockRows = kWaterBlockRows;
using RowPair = WaterRowPair;

// Nearest integer, ties to even, of a value computed in extended precision; values
// beyond 64 bits are held at the edge instead of being undefined.
int64_t Round64(long double v) {
  constexpr long double kTwo63 = 9223372036854775808.0L;
  if (!(v >= -kTwo63)) return std::numeric_limits<int64_t>::min();
  // Every extended value below 2^63 near it is whole, so llrint cannot overflow.
  if (v >= kTwo63) return std::numeric_limits<int64_t>::max();
  return std::llrint(v);
}

// cos of a whole number of degrees. The values that are rational (0, 1/2, 1 and their
// negatives at multiples of 60 and 90 degrees) are exact, so that an odd amplitude times
// cos 60 is a true half and rounds to even; every other value is the nearest extended one,
// the same for an angle, its negative and its mirror images.
class CosineTable {
 public:
  CosineTable() {
    std::array<long double, 91> quarter{};
    for (int d = 0; d <= 90; ++d)
      quarter[static_cast<size_t>(d)] =
          std::cos(static_cast<long double>(d) * std::numbers::pi_v<long double> / 180.0L);
    quarter[0] = 1.0L;
    quarter[60] = 0.5L;
    quarter[90] = 0.0L;
    for (int d = 0; d < 360; ++d) {
      long double v;
      if (d <= 90)
        v = quarter[static_cast<size_t>(d)];
      else if (d <= 180)
        v = -quarter[static_cast<size_t>(180 - d)];
      else if (d <= 270)
        v = -quarter[static_cast<size_t>(d - 180)];
      else
        v = quarter[static_cast<size_t>(360 - d)];
      table_[static_cast<size_t>(d)] = v;
    }
  }
  long double operator()(int64_t degrees) const {
    int64_t d = degrees % 360;
    if (d < 0) d += 360;
    return table_[static_cast<size_t>(d)];
  }

 private:
  std::array<long double, 360> table_{};
};

const CosineTable& Cosine() {
  static const CosineTable table;
  return table;
}

SteadyClock& DefaultClock() {
  static SteadyClock clock;
  return clock;
}

// The area of a mask pixel (1..4, 0 for none); an index beyond the last area, which no
// mask the program builds holds, counts as none rather than reaching past the wave sets.
int32_t AreaOf(uint8_t index) {
  return index <= AreaMask::kLastArea ? index : 0;
}

// A present area's Period, with 0 and below taken as a full cycle.
int64_t EffectivePeriod(const WaveSet& w) {
  return w.Period > 0 ? w.Period : 360;
}

void CopyPictureInto(const BottomUpBitmap& picture, BlendBitmap& dst) {
  const int32_t w = std::min(picture.Width(), dst.Width());
  const int32_t h = std::min(picture.Height(), dst.Height());
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(dst.ScanLine(y), picture.ScanLine(y), static_cast<size_t>(w) * sizeof(Pixel));
}

}  // namespace

WaterEngine::WaterEngine(IClock* clock) : clock_(clock ? clock : &DefaultClock()) {
  topRow_.fill(kNoRowYet);
  bottomRow_.fill(0);
}

WaterEngine::~WaterEngine() {
  // The objects' workers read nothing of the engine, but stop them before the bitmaps go.
  objects_.Clear();
}

void WaterEngine::SetPicture(Picture& picture) {
  objects_.Clear();
  picture_ = &picture;
  speed_ = picture.speed;
  // The entries as the picture reader made them, with any file names the show fixed up.
  objects_.LoadData(picture.objects.entries);
}

bool WaterEngine::UsesComposite() const {
  return weatherOn_ || objects_.Count() > 0;
}

void WaterEngine::SetWeather(bool on) {
  weather_.reset();
  weatherOn_ = false;
  if (!on || !picture_) return;
  const WeatherSettings& wp = picture_->weather;
  if (wp.Kind == kWeatherSnow)
    weather_ = std::make_unique<Snow>();
  else if (wp.Kind == kWeatherRain)
    weather_ = std::make_unique<Rain>();
  else
    return;
  if (composite_.Width() != frame_.Width() || composite_.Height() != frame_.Height())
    composite_.SetSize(frame_.Width(), frame_.Height());
  weather_->SetTarget(&composite_);
  weather_->SetCount(wp.Count);
  weather_->Place();
  weatherOn_ = true;
}

void WaterEngine::Start() {
  if (!picture_) return;
  Picture& p = *picture_;
  lastTick_ = clock_->Ticks();
  width_ = std::max(p.image.Width(), 0);
  height_ = std::max(p.image.Height(), 0);
  frame_.SetSize(width_, height_);
  if (p.weather.Kind > 0 || objects_.Count() > 0) composite_.SetSize(width_, height_);

  Randomize();
  phase_.fill(0);

  anyMirror_ = std::any_of(p.waveSets.begin(), p.waveSets.end(),
                           [](const WaveSet& w) { return w.Mirror != 0; });
  if (anyMirror_) {
    mirror_.SetSize(width_, height_);
    CopyPictureInto(p.image, mirror_);
  } else {
    mirror_.SetSize(0, 0);
  }

  sourceRows_.resize(static_cast<size_t>(height_));
  frameRows_.resize(static_cast<size_t>(height_));
  for (int32_t y = 0; y < height_; ++y) {
    sourceRows_[static_cast<size_t>(y)] = p.image.ScanLine(y);
    frameRows_[static_cast<size_t>(y)] = frame_.ScanLine(y);
  }
  if (anyMirror_) BuildMirrorImage();
  BuildAreaIndex();

  for (int k = 0; k < 4; ++k) {
    auto& offsets = scatter_[static_cast<size_t>(k)];
    offsets.resize(static_cast<size_t>(width_));
    // A negative Scatter has no meaning; it gives no offsets.
    const int32_t n = std::max(p.waveSets[static_cast<size_t>(k)].Scatter, 0);
    for (int32_t c = 0; c < width_; ++c) offsets[static_cast<size_t>(c)] = Random(n);
    const int32_t largest = offsets.empty() ? 0 : *std::max_element(offsets.begin(), offsets.end());
    auto& bytes = scatterByte_[static_cast<size_t>(k)];
    auto& steps = scatterStep_[static_cast<size_t>(k)];
    steps.clear();
    if (largest < kMaxTableScatter) {
      scatterSpan_[static_cast<size_t>(k)] = largest + 1;
      bytes.assign(offsets.begin(), offsets.end());
      auto& back = scatterStepBack_[static_cast<size_t>(k)];
      back.clear();
      if (largest > 0 && int64_t{largest} * width_ <= std::numeric_limits<int32_t>::max()) {
        steps.resize(offsets.size());
        back.resize(offsets.size());
        for (size_t c = 0; c < offsets.size(); ++c) {
          steps[c] = offsets[c] * width_;
          back[c] = -steps[c];
        }
      }
    } else {
      scatterSpan_[static_cast<size_t>(k)] = 0;
      bytes.clear();
    }
  }

  // Workers still running from an earlier start must not see their settings change.
  objects_.StopAll();
  for (int32_t i = 0; i < objects_.Count(); ++i) {
    anim::AnimatedObject& o = objects_[i];
    o.SetMoveArea({0, 0, width_, height_});
    o.SetDesignSize(p.designWidth, p.designHeight);
    o.SetClock(clock_);
    o.SetThreaded(objectsThreaded_);
    o.SetPackageFolder(packageFolder_);
    o.Start();
  }

  Tick();
  CopyPictureInto(p.image, frame_);
}

// Row first + j of a mirror area shows picture row first - 1 - j.
void WaterEngine::BuildMirrorImage() {
  const Picture& p = *picture_;
  const int32_t mw = std::min(width_, p.mask.Width()), mh = std::min(height_, p.mask.Height());
  std::array<int32_t, 5> firstRow;
  firstRow.fill(-1);
  for (int32_t r = 0; r < mh; ++r) {
    const uint8_t* m = p.mask.Row(r);
    Pixel* out = mirror_.ScanLine(r);
    for (int32_t c = 0; c < mw; ++c) {
      const int32_t k = AreaOf(m[c]);
      if (k == 0 || !p.waveSets[static_cast<size_t>(k - 1)].Mirror) continue;
      if (firstRow[static_cast<size_t>(k)] < 0) firstRow[static_cast<size_t>(k)] = r;
      const int32_t d = 2 * firstRow[static_cast<size_t>(k)] - r - 1;
      if (d >= 0) out[c] = p.image.ScanLine(d)[c];
    }
  }
  for (int32_t y = 0; y < height_; ++y) sourceRows_[static_cast<size_t>(y)] = mirror_.ScanLine(y);
}

void WaterEngine::BuildAreaIndex() {
  const Picture& p = *picture_;
  topRow_.fill(kNoRowYet);
  bottomRow_.fill(0);
  areaIndex_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), -1);
  runs_.assign(static_cast<size_t>(height_), {});
  // A mask smaller than the picture (a damaged file) has no areas where it has no pixels.
  const int32_t mw = std::min(width_, p.mask.Width()), mh = std::min(height_, p.mask.Height());
  for (int32_t r = 0; r < mh; ++r) {
    const uint8_t* m = p.mask.Row(r);
    int8_t* idx = &areaIndex_[static_cast<size_t>(r) * static_cast<size_t>(width_)];
    auto& runs = runs_[static_cast<size_t>(r)];
    for (int32_t c = 0; c < mw; ++c) {
      const int32_t k = AreaOf(m[c]) - 1;
      idx[c] = static_cast<int8_t>(k);
      if (k < 0) continue;
      topRow_[static_cast<size_t>(k)] = std::min(topRow_[static_cast<size_t>(k)], r);
      bottomRow_[static_cast<size_t>(k)] = std::max(bottomRow_[static_cast<size_t>(k)], r);
      if (!runs.empty() && runs.back().end == c && runs.back().area == k)
        ++runs.back().end;
      else
        runs.push_back({c, c + 1, static_cast<int8_t>(k)});
    }
  }
}

uint32_t WaterEngine::Elapsed() {
  const uint32_t now = clock_->Ticks();
  const uint32_t elapsed = TickDiff(now, lastTick_);
  lastTick_ = now;
  // The unsigned difference is right across a wrap of the counter; one beyond 2^31 ms
  // (24.8 days) is a counter that went backwards and moves nothing.
  if (elapsed > std::numeric_limits<uint32_t>::max() / 2) return 0;
  return elapsed;
}

void WaterEngine::Tick() {
  const uint32_t elapsed = Elapsed();
  if (!picture_) return;
  const Picture& p = *picture_;
  const CosineTable& cosine = Cosine();

  struct Wave {
    bool present = false, perspective = false;
    long double amp = 0, freq = 0, ampStep = 0, freqStep = 0;
    int64_t period = 360;
  };
  std::array<Wave, 4> waves;
  int32_t firstRow = height_, lastRow = -1;
  for (size_t k = 0; k < 4; ++k) {
    // An area absent from the mask has no rows; its wave set is not looked at.
    if (topRow_[k] > bottomRow_[k]) continue;
    const WaveSet& w = p.waveSets[k];
    Wave& v = waves[k];
    v.present = true;
    v.period = EffectivePeriod(w);
    v.amp = w.Amplitude;
    v.freq = static_cast<long double>(w.Cycles) / (360.0L / static_cast<long double>(v.period));
    if (w.Perspective) {
      v.perspective = true;
      const int32_t span = bottomRow_[k] - topRow_[k];
      v.ampStep = span == 0 ? static_cast<long double>(w.Amplitude)
                            : static_cast<long double>(w.Amplitude) / span;
      v.freqStep = span == 0 ? v.freq : v.freq / span;
      v.amp = 0;
    }
    firstRow = std::min(firstRow, topRow_[k]);
    lastRow = std::max(lastRow, bottomRow_[k]);
  }

  std::array<int64_t, 4> dv{}, dh{};
  const long double height = height_;
  const WaterKernels& kernels = CurrentWaterKernels();
  for (int32_t r = std::max(firstRow, 0); r <= lastRow && r < height_; ++r) {
    for (size_t k = 0; k < 4; ++k) {
      Wave& v = waves[k];
      if (!v.present || r < topRow_[k] || r > bottomRow_[k]) continue;
      if (v.perspective) {
        v.amp += v.ampStep;
        v.freq -= 0.8L * v.freqStep;
      }
      const int64_t a =
          Round64((height - r) * v.freq * 360.0L / height + static_cast<long double>(phase_[k]));
      dv[k] = Round64(cosine(a % v.period) * v.amp);
      dh[k] = Round64(cosine(a % 360) * v.amp);
    }
    if (referenceTick_)
      AnimateRowReference(r, dv, dh);
    else if (!runs_[static_cast<size_t>(r)].empty())
      AnimateRow(r, dv, dh, kernels);
  }

  for (size_t k = 0; k < 4; ++k) {
    const WaveSet& w = p.waveSets[k];
    const int64_t step = Round64(static_cast<long double>(w.PhaseStep) * elapsed / 50.0L *
                                 static_cast<long double>(speed_) / 100.0L);
    // Wrapping arithmetic: a phase that runs for ever must not overflow.
    const uint64_t ph = static_cast<uint64_t>(phase_[k]);
    phase_[k] = static_cast<int64_t>(w.Forward ? ph + static_cast<uint64_t>(step)
                                               : ph - static_cast<uint64_t>(step));
  }

  if (UsesComposite() && composite_.Width() == frame_.Width() &&
      composite_.Height() == frame_.Height()) {
    if (!frame_.Empty())
      std::memcpy(composite_.Bits(), frame_.Bits(),
                  static_cast<size_t>(width_) * static_cast<size_t>(height_) * sizeof(Pixel));
    DrawObjects();
    DrawWeather(elapsed);
  }
}

// The plain rule, pixel by pixel: every column of row r that lies in an area moves the
// source pixel at (r - s + dv, c + dh) to (r - s, c), rows and columns clamped, when both
// the target row and the source row hold the same area at the source column.
void WaterEngine::AnimateRowReference(int32_t r, const std::array<int64_t, 4>& dv,
                                      const std::array<int64_t, 4>& dh) {
  const int64_t lastRow = height_ - 1, lastCol = width_ - 1;
  const size_t stride = static_cast<size_t>(width_);
  const int8_t* row = &areaIndex_[static_cast<size_t>(r) * stride];
  for (int32_t c = 0; c < width_; ++c) {
    const int32_t k = row[c];
    if (k < 0) continue;
    const size_t ks = static_cast<size_t>(k);
    const WaveSet& w = picture_->waveSets[ks];
    const int64_t t = int64_t{r} - scatter_[ks][static_cast<size_t>(c)];
    const int64_t target = std::clamp<int64_t>(t, 0, lastRow);
    const int64_t source = std::clamp<int64_t>(w.Vertical ? t + dv[ks] : t, 0, lastRow);
    const int64_t col = w.Horizontal ? std::clamp<int64_t>(c + dh[ks], 0, lastCol) : c;
    if (AreaAt(static_cast<int32_t>(col), static_cast<int32_t>(target)) != k ||
        AreaAt(static_cast<int32_t>(col), static_cast<int32_t>(source)) != k)
      continue;
    frameRows_[static_cast<size_t>(target)][c] =
        sourceRows_[static_cast<size_t>(source)][static_cast<size_t>(col)];
  }
}

// Columns [begin, end) of a run, every pixel on its own: any scatter, clamped columns.
void WaterEngine::AnimateRunChecked(int32_t r, const AreaRun& run, int64_t vshift, int32_t begin,
                                    int32_t end, int32_t hshift) {
  const int8_t k = run.area;
  const int64_t lastRow = height_ - 1, lastCol = width_ - 1;
  const size_t stride = static_cast<size_t>(width_);
  const int8_t* idx = areaIndex_.data();
  const int32_t* scatter = scatter_[static_cast<size_t>(k)].data();
  for (int32_t c = begin; c < end; ++c) {
    const int64_t t = int64_t{r} - scatter[c];
    const size_t target = static_cast<size_t>(std::clamp<int64_t>(t, 0, lastRow));
    const size_t source = static_cast<size_t>(std::clamp<int64_t>(t + vshift, 0, lastRow));
    const size_t col = static_cast<size_t>(std::clamp<int64_t>(int64_t{c} + hshift, 0, lastCol));
    if (idx[target * stride + col] != k || idx[source * stride + col] != k) continue;
    frameRows_[target][c] = sourceRows_[source][col];
  }
}

namespace {

// The columns of one run that need no clamping of their shifted column: per scatter offset
// the target and source rows, and the distinct rows the area tests look at when they are
// few enough to test a block of columns at once.
struct MiddleRun {
  int8_t k = 0;
  int32_t hshift = 0;
  int32_t span = 0;
  int32_t begin = 0, end = 0;  // columns [begin, end)
  std::array<RowPair, kMaxTableScatter> pairs;
  // Target and source row numbers per offset; sorted and without repeats once checkCount > 0.
  std::array<int64_t, 2 * kMaxBlockRows> rows;
  std::array<const int8_t*, kMaxBlockRows> checkRows;
  size_t checkCount = 0;  // 0: too many rows, every pixel is tested alone
};

// Columns [from, to): each column copies from the rows of its own scatter offset when
// both its target and its source pixel lie in area k.
void CopyTested(const RowPair* pairs, const uint8_t* scatter, int32_t from, int32_t to,
                int32_t hshift, int8_t k) {
  for (int32_t j = from; j < to; ++j) {
    const RowPair& p = pairs[scatter[j]];
    const int32_t cj = j + hshift;
    if ((p.atTarget[cj] == k) & (p.atSource[cj] == k)) p.out[j] = p.in[cj];
  }
}

// A run without scatter: one target row, one source row; whole blocks inside the area
// are copied in one go.
void AnimateUnscattered(const WaterKernels& kernels, const MiddleRun& m) {
  const RowPair& p = m.pairs[0];
  const int8_t k = m.k;
  auto tested = [&](int32_t from, int32_t to) {
    for (int32_t c = from; c < to; ++c) {
      const int32_t col = c + m.hshift;
      if ((p.atTarget[col] == k) & (p.atSource[col] == k)) p.out[c] = p.in[col];
    }
  };
  int32_t c = m.begin;
  if (m.checkCount > 0)
    while (c + kBlock <= m.end) {
      // The blocks from c on that lie wholly inside go in one copy; the block that ends
      // the run (if any) is tested pixel by pixel.
      const int32_t col = c + m.hshift;
      const int32_t inside =
          kernels.blocksInArea(m.checkRows, m.checkCount, col, k, (m.end - c) / kBlock);
      std::memcpy(p.out + c, p.in + col, static_cast<size_t>(inside) * kBlock * sizeof(Pixel));
      c += inside * kBlock;
      if (c + kBlock > m.end) break;
      tested(c, c + kBlock);
      c += kBlock;
    }
  tested(c, m.end);
}

// A scattered run block by block: blocks whose rows all lie in the area are copied
// without tests (by offset where the level has a kernel for it, by one step per column when
// the rows of the offsets lie evenly apart, else through the table), the rest pixel by
// pixel.
void AnimateScatteredBlocks(const WaterKernels& kernels, const MiddleRun& m, const uint8_t* scatter,
                            const int32_t* outStep, const int32_t* inStep) {
  // One block wholly inside the area, copied without tests.
  const auto copyInside = [&](int32_t c) {
    if (kernels.copyBlockByOffset) {
      kernels.copyBlockByOffset(m.pairs.data(), m.span, scatter, c, m.hshift, kBlock);
      return;
    }
    if (outStep) {
      Pixel* out = m.pairs[0].out + c;
      const Pixel* in = m.pairs[0].in + c + m.hshift;
      const int32_t* os = outStep + c;
      const int32_t* is = inStep + c;
      for (int32_t j = 0; j < kBlock; ++j) out[j + os[j]] = in[j + is[j]];
      return;
    }
    for (int32_t j = c; j < c + kBlock; ++j) {
      const RowPair& p = m.pairs[scatter[j]];
      p.out[j] = p.in[j + m.hshift];
    }
  };
  int32_t c = m.begin;
  if (m.checkCount > 0)
    while (c + kBlock <= m.end) {
      const int32_t inside =
          kernels.blocksInArea(m.checkRows, m.checkCount, c + m.hshift, m.k, (m.end - c) / kBlock);
      for (int32_t b = 0; b < inside; ++b, c += kBlock) copyInside(c);
      if (c + kBlock > m.end) break;
      CopyTested(m.pairs.data(), scatter, c, c + kBlock, m.hshift, m.k);
      c += kBlock;
    }
  CopyTested(m.pairs.data(), scatter, c, m.end, m.hshift, m.k);
}

// The rows of the tick: the area index and the frame's and the source's row pointers.
struct TickRows {
  const int8_t* areaIndex;
  size_t stride;
  int64_t lastRow;
  Pixel* const* frameRows;
  const Pixel* const* sourceRows;
};

// The target and source rows of each scatter offset of run m at row r, and the distinct
// rows the area tests look at.
void PlanMiddleRun(const TickRows& tick, int32_t r, int64_t vshift, MiddleRun& m) {
  size_t rows = 0;
  for (int32_t s = 0; s < m.span; ++s) {
    const int64_t t = int64_t{r} - s;
    const size_t target = static_cast<size_t>(std::clamp<int64_t>(t, 0, tick.lastRow));
    const size_t source = static_cast<size_t>(std::clamp<int64_t>(t + vshift, 0, tick.lastRow));
    m.pairs[static_cast<size_t>(s)] = {tick.areaIndex + target * tick.stride,
                                       tick.areaIndex + source * tick.stride,
                                       tick.frameRows[target], tick.sourceRows[source]};
    if (rows + 2 <= m.rows.size()) {
      m.rows[rows++] = static_cast<int64_t>(target);
      m.rows[rows++] = static_cast<int64_t>(source);
    }
  }
  m.checkCount = 0;
  if (rows != 2 * static_cast<size_t>(m.span)) return;
  std::sort(m.rows.begin(), m.rows.begin() + static_cast<ptrdiff_t>(rows));
  const auto last = std::unique(m.rows.begin(), m.rows.begin() + static_cast<ptrdiff_t>(rows));
  const size_t distinct = static_cast<size_t>(last - m.rows.begin());
  if (distinct > kMaxBlockRows) return;
  for (size_t i = 0; i < distinct; ++i)
    m.checkRows[i] = tick.areaIndex + static_cast<size_t>(m.rows[i]) * tick.stride;
  m.checkCount = distinct;
}

// When no row of the span clamps, the target and source rows of offset s lie s rows of
// pixels from those of offset 0 (upwards or downwards in memory, as the bitmap is laid
// out), and one step per column replaces the table: the steps for the output and the
// input rows (`forward` or `back` by direction), or null when the rows do not lie evenly
// apart or there are no step tables.
std::pair<const int32_t*, const int32_t*> EvenSteps(const MiddleRun& m, ptrdiff_t row,
                                                    const std::vector<int32_t>& forward,
                                                    const std::vector<int32_t>& back) {
  if (forward.empty()) return {nullptr, nullptr};
  const auto& pairs = m.pairs;
  const ptrdiff_t outDir = pairs[1].out - pairs[0].out, inDir = pairs[1].in - pairs[0].in;
  bool even = (outDir == row || outDir == -row) && (inDir == row || inDir == -row);
  for (int32_t s = 2; even && s < m.span; ++s) {
    const RowPair& p = pairs[static_cast<size_t>(s)];
    even = p.out - pairs[0].out == s * outDir && p.in - pairs[0].in == s * inDir;
  }
  if (!even) return {nullptr, nullptr};
  return {(outDir > 0 ? forward : back).data(), (inDir > 0 ? forward : back).data()};
}

// A scattered run whose `inside` column intervals have every tested row in area k: there
// the columns are copied by offset (the level's kernel) and no test, and the columns
// between are tested pixel by pixel.
void AnimateScatteredWide(const WaterKernels& kernels, const MiddleRun& m, const uint8_t* scatter,
                          const std::vector<std::pair<int32_t, int32_t>>& inside) {
  int32_t c = m.begin;
  for (const auto& [lo, hi] : inside) {
    const int32_t from = std::max(lo - m.hshift, c), to = std::min(hi - m.hshift, m.end);
    if (from >= to) continue;
    CopyTested(m.pairs.data(), scatter, c, from, m.hshift, m.k);
    const int32_t whole = from + (to - from) / 8 * 8;
    if (whole > from)
      kernels.copyBlockByOffset(m.pairs.data(), m.span, scatter, from, m.hshift, whole - from);
    CopyTested(m.pairs.data(), scatter, whole, to, m.hshift, m.k);
    c = to;
  }
  CopyTested(m.pairs.data(), scatter, c, m.end, m.hshift, m.k);
}

}  // namespace

// The same rule as the reference with the work moved out of the pixel loop: per run, the
// columns whose shifted source clamps to an edge are done pixel by pixel; for the rest,
// each scatter value's target and source rows are looked up once, and blocks of columns
// whose rows all lie in the area are copied without testing each pixel.
void WaterEngine::AnimateRow(int32_t r, const std::array<int64_t, 4>& dv,
                             const std::array<int64_t, 4>& dh, const WaterKernels& kernels) {
  const TickRows tick{areaIndex_.data(), static_cast<size_t>(width_), int64_t{height_} - 1,
                      frameRows_.data(), sourceRows_.data()};
  MiddleRun m;
  for (const AreaRun& run : runs_[static_cast<size_t>(r)]) {
    const int8_t k = run.area;
    const size_t ks = static_cast<size_t>(k);
    const WaveSet& w = picture_->waveSets[ks];
    const int64_t vshift = w.Vertical ? dv[ks] : 0;
    // A shift of the width or more sends every column to the edge, as the width itself does.
    const int32_t hshift =
        w.Horizontal ? static_cast<int32_t>(std::clamp<int64_t>(dh[ks], -width_, width_)) : 0;
    const int32_t span = scatterSpan_[ks];
    if (span == 0) {
      AnimateRunChecked(r, run, vshift, run.begin, run.end, hshift);
      continue;
    }
    // Columns left of midBegin read column 0, those from midEnd on the last column.
    const int32_t midBegin = std::clamp(-hshift, run.begin, run.end);
    const int32_t midEnd = std::clamp(width_ - hshift, midBegin, run.end);
    AnimateRunChecked(r, run, vshift, run.begin, midBegin, hshift);
    AnimateRunChecked(r, run, vshift, midEnd, run.end, hshift);
    if (midBegin == midEnd) continue;

    m.k = k;
    m.hshift = hshift;
    m.span = span;
    m.begin = midBegin;
    m.end = midEnd;
    PlanMiddleRun(tick, r, vshift, m);
    if (span == 1) {
      AnimateUnscattered(kernels, m);
      continue;
    }
    const uint8_t* scatter = scatterByte_[ks].data();
    if (kernels.copyBlockByOffset && m.checkCount > 0) {
      InsideColumns(m.rows.data(), m.checkCount, k);
      AnimateScatteredWide(kernels, m, scatter, inside_);
      continue;
    }
    const auto [outStep, inStep] =
        EvenSteps(m, static_cast<ptrdiff_t>(width_), scatterStep_[ks], scatterStepBack_[ks]);
    AnimateScatteredBlocks(kernels, m, scatter, outStep, inStep);
  }
}

// The column intervals where all of `rows` (row numbers) hold area k, from their runs.
void WaterEngine::InsideColumns(const int64_t* rows, size_t count, int8_t k) {
  inside_.clear();
  for (const AreaRun& run : runs_[static_cast<size_t>(rows[0])])
    if (run.area == k) inside_.emplace_back(run.begin, run.end);
  for (size_t i = 1; i < count && !inside_.empty(); ++i) {
    const auto& other = runs_[static_cast<size_t>(rows[i])];
    merged_.clear();
    size_t a = 0, b = 0;
    while (a < inside_.size() && b < other.size()) {
      if (other[b].area != k) {
        ++b;
        continue;
      }
      const int32_t lo = std::max(inside_[a].first, other[b].begin);
      const int32_t hi = std::min(inside_[a].second, other[b].end);
      if (lo < hi) merged_.emplace_back(lo, hi);
      if (inside_[a].second < other[b].end)
        ++a;
      else
        ++b;
    }
    inside_.swap(merged_);
  }
}

void WaterEngine::DrawObjects() {
  const Rect bounds{0, 0, composite_.Width(), composite_.Height()};
  for (int32_t i = 0; i < objects_.Count(); ++i) {
    const anim::ObjectView view = objects_[i].View();
    if (!view.shown || !view.image || view.image->frames.empty()) continue;
    const Rect& r = view.rect;
    if (r.IsEmpty() || r.right <= bounds.left || r.bottom <= bounds.top || r.left >= bounds.right ||
        r.top >= bounds.bottom)
      continue;
    // A rectangle many times the picture is a damaged size, not an object to stretch.
    if (int64_t{r.Width()} > 16 * int64_t{bounds.Width()} + 4096 ||
        int64_t{r.Height()} > 16 * int64_t{bounds.Height()} + 4096)
      continue;
    const size_t f = std::min(view.frame, view.image->frames.size() - 1);
    const BlendBitmap& src = view.flipped ? view.image->flipped[f] : view.image->frames[f];
    composite_.Draw(r, Rect{0, 0, src.Width(), src.Height()}, src);
  }
}

void WaterEngine::DrawWeather(uint32_t elapsed) {
  if (!weatherOn_ || !weather_) return;
  const WeatherSettings& wp = picture_->weather;
  weather_->elapsed = elapsed;
  weather_->speedPercent = speed_;
  weather_->speedIndex = wp.SpeedIndex;
  weather_->opacity = wp.Opacity;
  if (auto* rain = dynamic_cast<Rain*>(weather_.get())) {
    rain->length = wp.Length;
    rain->direction =
        static_cast<int32_t>(std::clamp<int64_t>(180 - int64_t{wp.Angle}, INT32_MIN, INT32_MAX));
  }
  weather_->MoveAndDraw();
}

void WaterEngine::ResetFrame() {
  if (!picture_) return;
  CopyPictureInto(picture_->image, frame_);
  if (anyMirror_) {
    CopyPictureInto(picture_->image, mirror_);
    BuildMirrorImage();
  }
}

const BlendBitmap& WaterEngine::Output() const {
  return UsesComposite() ? composite_ : frame_;
}

}  // namespace vec
