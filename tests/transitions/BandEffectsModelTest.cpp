// Every band region member against a literal pixel model written from the rules of the
// family: each rectangle is painted into a mask (clipped to the picture), the mask picks
// New over Old. The model keeps its own copy of the generator, so the number and order of
// draws must agree too: the process-wide seed after the effect equals the model's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/Random.h"
#include "tests/transitions/ComplexRegionTestSupport.h"
#include "transitions/BandEffects.h"

namespace vec {
namespace {

using namespace testing_support;

// The generator's arithmetic, on a private seed.
struct ModelGenerator {
  uint32_t seed;
  int32_t Next(int32_t n) {
    seed = seed * 134775813u + 1u;
    return static_cast<int32_t>((uint64_t{static_cast<uint32_t>(n)} * seed) >> 32);
  }
};

// a * b / c rounded half up, for the non-negative operands of this family.
int32_t ModelMulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t p = int64_t{a} * b;
  return static_cast<int32_t>((2 * p + c) / (2 * int64_t{c}));
}

struct Mask {
  int32_t W, H;
  std::vector<uint8_t> bits;
  bool added = false;
  Mask(int32_t w, int32_t h) : W(w), H(h), bits(static_cast<size_t>(w) * h, 0) {}
  void Add(int64_t l, int64_t t, int64_t r, int64_t b) {
    added = true;
    for (int64_t y = std::max<int64_t>(t, 0); y < std::min<int64_t>(b, H); ++y)
      for (int64_t x = std::max<int64_t>(l, 0); x < std::min<int64_t>(r, W); ++x)
        bits[static_cast<size_t>(y * W + x)] = 1;
  }
  bool At(int32_t x, int32_t y) const { return bits[static_cast<size_t>(y) * W + x] != 0; }
};

void ModelBars(Mask& m, int32_t ax, int32_t ay, int32_t vmode, int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  const int32_t e = std::min(W, H) / 50 + 1;
  for (int32_t f = (W < ax ? e : 0); f < H + e; f += 2 * e) {
    if (W < ax) {
      if (hmode == 1 || hmode == 4) m.Add(2 * W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 5) m.Add(0, f, ax - W, f + e);
      m.Add(0, f - e, W, f);
    } else {
      if (hmode == 1 || hmode == 5) m.Add(W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 4) m.Add(0, f, ax, f + e);
      if (hmode == 3) {
        m.Add(0, f + e, ax, f + 2 * e);
        m.Add(W - ax, f, W, f + e);
      }
    }
  }
  for (int32_t g = (H < ay ? e : 0); g < W + e; g += 2 * e) {
    if (H < ay) {
      if (vmode == 1 || vmode == 4) m.Add(g, 2 * H - ay, g + e, H);
      if (vmode == 2 || vmode == 5) m.Add(g, 0, g + e, ay - H);
      m.Add(g - e, 0, g, H);
    } else {
      if (vmode == 1 || vmode == 5) m.Add(g, H - ay, g + e, H);
      if (vmode == 2 || vmode == 4) m.Add(g, 0, g + e, ay);
      if (vmode == 3) {
        m.Add(g, H - ay, g + e, H);
        m.Add(g + e, 0, g + 2 * e, ay);
      }
    }
  }
}

void ModelShred(Mask& m, ModelGenerator& gen, int32_t ax, int32_t ay, int32_t vmode,
                int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  const int32_t e = std::min(W, H) / 200 + 1;
  const int32_t mid = W / 2;
  if (hmode != 0) {
    const int32_t l = ax < W ? W / 10 : 0;
    for (int32_t o = 0; o < H; o += e) {
      int32_t r = gen.Next(2 * l) + ax - l;
      const int32_t t = o + e + H % e;
      if (hmode == 1) {
        m.Add(W - r, o, W, t);
      } else if (hmode == 2) {
        m.Add(0, o, r, t);
      } else {
        r = r / 2;
        if (hmode == 3) {
          m.Add(mid - r, o, mid, t);
          m.Add(mid, o, mid + r, t);
        } else {
          m.Add(W - r, o, W, t);
          m.Add(0, o, r, t);
        }
      }
    }
  }
  if (vmode != 0) {
    const int32_t l = ay < H ? H / 10 : 0;
    for (int32_t o = 0; o < W; o += e) {
      int32_t r = gen.Next(2 * l) + ay - l;
      const int32_t t = o + e + W % e;
      if (vmode == 1) {
        m.Add(o, H - r, t, H);
      } else if (vmode == 2) {
        m.Add(o, 0, t, r);
      } else {
        r = r / 2;
        if (vmode == 3) {
          m.Add(o, H / 2 - r, t, H / 2);
          m.Add(o, H / 2, t, H / 2 + r);
        } else {
          m.Add(o, H - r, t, H);
          m.Add(o, 0, t, r);
        }
      }
    }
  }
}

void ModelSpeckle(Mask& m, ModelGenerator& gen, int32_t ax, int32_t ay, int32_t vmode,
                  int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  auto taken = [&gen](int32_t i, int32_t near) {
    const int32_t v = gen.Next(i);
    return i <= near ? v <= 1 : v == 0;
  };
  if (hmode != 0) {
    const int32_t g = ax < W ? W / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s, near = (3 * g) / (4 * s);
    for (int32_t row = 0; row < H; row += s / 2) {
      if (hmode == 1) {
        m.Add(W - ax, row, W, row + s);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(W - ax - s * i, row, W - ax - s * i + s, row + s);
      } else {
        m.Add(0, row, ax, row + s);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(ax + s * i - s, row, ax + s * i, row + s);
      }
    }
  }
  if (vmode != 0) {
    const int32_t g = ay < H ? H / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s, near = (3 * g) / (4 * s);
    for (int32_t col = 0; col < W; col += s / 2) {
      if (vmode == 1) {
        m.Add(col, H - ay, col + s, H);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(col, H - ay - s * i, col + s, H - ay - s * i + s);
      } else {
        m.Add(col, 0, col + s, ay);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(col, ay + s * i - s, col + s, ay + s * i);
      }
    }
  }
}

// The mask of member `n` and whether any rectangle was collected (no region otherwise).
Mask ModelMember(int32_t n, int32_t W, int32_t H, int32_t w, int32_t h, int32_t P,
                 ModelGenerator& gen) {
  Mask m(W, H);
  struct Modes {
    int32_t ax, ay, vmode, hmode;
  };
  const std::map<int32_t, Modes> bars = {
      {63, {2 * w, 0, 0, 1}},     {64, {2 * w, 0, 0, 2}},     {65, {2 * w, 0, 0, 4}},
      {66, {2 * w, 0, 0, 5}},     {67, {w, 0, 0, 3}},         {74, {0, 2 * h, 1, 0}},
      {75, {0, 2 * h, 2, 0}},     {76, {0, 2 * h, 4, 0}},     {77, {0, 2 * h, 5, 0}},
      {78, {0, h, 3, 0}},         {89, {2 * w, 2 * h, 1, 1}}, {90, {2 * w, 2 * h, 2, 1}},
      {91, {2 * w, 2 * h, 1, 2}}, {92, {2 * w, 2 * h, 2, 2}}, {93, {2 * w, 2 * h, 4, 4}},
      {94, {2 * w, 2 * h, 5, 4}}, {95, {2 * w, 2 * h, 4, 5}}, {96, {2 * w, 2 * h, 5, 5}},
      {97, {w, h, 3, 1}},         {98, {w, h, 3, 2}},         {99, {w, h, 1, 3}},
      {100, {w, h, 2, 3}},        {101, {w, h, 3, 3}},
  };
  const std::map<int32_t, Modes> shreds = {
      {68, {w, 0, 0, 1}},  {69, {w, 0, 0, 2}},  {70, {w, 0, 0, 3}},  {71, {w, 0, 0, 4}},
      {79, {0, h, 1, 0}},  {80, {0, h, 2, 0}},  {81, {0, h, 3, 0}},  {82, {0, h, 4, 0}},
      {103, {w, h, 1, 1}}, {104, {w, h, 2, 1}}, {105, {w, h, 1, 2}}, {106, {w, h, 2, 2}},
      {107, {w, h, 3, 1}}, {108, {w, h, 3, 2}}, {109, {w, h, 1, 3}}, {110, {w, h, 2, 3}},
      {111, {w, h, 3, 3}}, {112, {w, h, 4, 4}},
  };
  const std::map<int32_t, Modes> speckles = {
      {125, {w, h, 0, 1}}, {126, {w, h, 0, 2}}, {127, {w, h, 1, 0}}, {128, {w, h, 2, 0}}};

  if (auto it = bars.find(n); it != bars.end()) {
    ModelBars(m, it->second.ax, it->second.ay, it->second.vmode, it->second.hmode);
  } else if (n == 102) {
    Mask a(W, H), b(W, H);
    ModelBars(a, 2 * w, 2 * h, 1, 1);
    ModelBars(b, 2 * w, 2 * h, 2, 2);
    m.added = a.added && b.added;
    for (size_t i = 0; i < m.bits.size(); ++i) m.bits[i] = a.bits[i] & b.bits[i];
  } else if (auto it2 = shreds.find(n); it2 != shreds.end()) {
    ModelShred(m, gen, it2->second.ax, it2->second.ay, it2->second.vmode, it2->second.hmode);
  } else if (auto it3 = speckles.find(n); it3 != speckles.end()) {
    ModelSpeckle(m, gen, it3->second.ax, it3->second.ay, it3->second.vmode, it3->second.hmode);
  } else if (n == 129) {
    const int32_t u = std::min(W, H) / 50;
    ModelGenerator own{static_cast<uint32_t>((u + 1) * (W + H))};
    const int32_t c = 2 * u + 2;
    for (int32_t x = 0; x < W; x += c)
      for (int32_t y = 0; y < H; y += c)
        if (own.Next(100) < P) m.Add(x, y, x + c, y + c);
  } else if (n == 138) {
    const int32_t k = W / 40 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t x = 0; x < W; x += 2 * (W / 40) + 2) m.Add(x + k - a, 0, x + k + a, H);
  } else if (n == 139) {
    const int32_t k = H / 40 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t y = 0; y < H; y += 2 * (H / 40) + 2) m.Add(0, y + k - a, W, y + k + a);
  } else if (n == 140 && w != 0) {
    const int32_t a = ModelMulDiv(w, P, 100);
    for (int32_t x = 0; x < W; x += w) m.Add(x, 0, x + a, H);
  } else if (n == 141 && w != 0) {
    const int32_t a = ModelMulDiv(w, P, 100);
    for (int32_t x = W; x > 0; x -= w) m.Add(x - a, 0, x, H);
  } else if (n == 142 && h != 0) {
    const int32_t a = ModelMulDiv(h, P, 100);
    for (int32_t y = 0; y < H; y += h) m.Add(0, y, W, y + a);
  } else if (n == 143 && h != 0) {
    const int32_t a = ModelMulDiv(h, P, 100);
    for (int32_t y = H; y > 0; y -= h) m.Add(0, y - a, W, y);
  } else if (n == 144) {
    const int32_t k = std::min(W, H) / 10 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t x = 0; x < W; x += 2 * k)
      for (int32_t y = 0; y < H; y += 2 * k) m.Add(x + k - a, y + k - a, x + k + a, y + k + a);
  } else if ((n == 145 || n == 146) && w != 0 && H / 20 != 0) {
    const int32_t k = H / 20, a = ModelMulDiv(k, P, 100);
    for (int32_t y = -k; y < H; y += 3 * k) m.Add(0, y - a, W, y + a);
    const int32_t b = ModelMulDiv(w, P, 100);
    if (n == 145) {
      for (int32_t x = 0; x < W; x += w) m.Add(x, 0, x + b, H);
    } else {
      for (int32_t x = W; x > 0; x -= w) m.Add(x - b, 0, x, H);
    }
  } else if ((n == 147 || n == 148) && h != 0 && W / 20 != 0) {
    const int32_t k = W / 20, a = ModelMulDiv(k, P, 100);
    for (int32_t x = -k; x < W; x += 3 * k) m.Add(x - a, 0, x + a, H);
    const int32_t b = ModelMulDiv(h, P, 100);
    if (n == 147) {
      for (int32_t y = 0; y < H; y += h) m.Add(0, y, W, y + b);
    } else {
      for (int32_t y = H; y > 0; y -= h) m.Add(0, y - b, W, y);
    }
  }
  return m;
}

struct ModelSize {
  int32_t W, H;
};

// Sizes from 20 rows and columns up (below that the rectangle grids deliberately keep
// opening their blinds), odd and even, wide and tall.
constexpr ModelSize kModelSizes[] = {{320, 240}, {241, 321}, {640, 480}, {53, 37},
                                     {199, 20},  {20, 77},   {1001, 99}, {160, 161}};
constexpr int32_t kModelPercents[] = {0, 1, 7, 25, 33, 49, 50, 51, 66, 75, 99, 100};

TEST(BandEffectModel, EveryMemberMatchesTheLiteralModel) {
  for (const ModelSize size : kModelSizes) {
    const int32_t W = size.W, H = size.H;
    const Bitmap newBmp = NewPicture(W, H);
    const Bitmap oldBmp = OldPicture(W, H);
    for (const int32_t P : kModelPercents) {
      int32_t w = 0, h = 0;
      ScaledExtents(W, H, P, w, h);
      for (const NumberedEffect& effect : kBandEffects) {
        const uint32_t seed =
            0x9E3779B9u ^ static_cast<uint32_t>(effect.number * 7919 + P * 31 + W);
        ModelGenerator gen{seed};
        const Mask m = ModelMember(effect.number, W, H, w, h, P, gen);

        SetRandSeed(seed);
        Bitmap work = oldBmp;
        effect.proc(work, newBmp, W, H, w, h, P);
        EXPECT_EQ(RandSeed(), gen.seed)
            << "draws of effect " << effect.number << " at " << SizeName(W, H) << " " << P << "%";
        int64_t mismatches = 0;
        int32_t firstX = -1, firstY = -1;
        for (int32_t y = 0; y < H; ++y) {
          for (int32_t x = 0; x < W; ++x) {
            const Pixel expected = m.At(x, y) ? newBmp.GetPixel(x, y) : oldBmp.GetPixel(x, y);
            if (work.GetPixel(x, y) != expected) {
              if (mismatches++ == 0) firstX = x, firstY = y;
            }
          }
        }
        EXPECT_EQ(mismatches, 0) << "effect " << effect.number << " at " << SizeName(W, H) << " "
                                 << P << "%, first at " << firstX << "," << firstY;
      }
    }
  }
}

}  // namespace
}  // namespace vec
