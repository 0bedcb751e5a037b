// The sliding and stretching wipes held, at many sizes (odd and tiny ones included) and at
// every percent, to a second, independent transcription of their copies, drawn with the
// pixel-by-pixel reference blits and a shading ramp written out step by step.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "graphics/Blit.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/Shade.h"
#include "transitions/WipeEffects.h"

namespace vec {
namespace {

using testing::Pattern;
using testing::RunEffect;

// One copy of a frame: from New (or from Work itself), plain or stretched.
struct Op {
  bool fromWork;
  bool stretch;
  int32_t dx, dy, dcx, dcy, sx, sy, scx, scy;
};

Op C(int32_t dx, int32_t dy, int32_t cx, int32_t cy, int32_t sx, int32_t sy) {
  return {false, false, dx, dy, cx, cy, sx, sy, cx, cy};
}
Op S(int32_t dx, int32_t dy, int32_t dcx, int32_t dcy, int32_t sx, int32_t sy, int32_t scx,
     int32_t scy) {
  return {false, true, dx, dy, dcx, dcy, sx, sy, scx, scy};
}
Op SelfC(int32_t dx, int32_t dy, int32_t cx, int32_t cy, int32_t sx, int32_t sy) {
  return {true, false, dx, dy, cx, cy, sx, sy, cx, cy};
}
Op SelfS(int32_t dx, int32_t dy, int32_t dcx, int32_t dcy, int32_t sx, int32_t sy, int32_t scx,
         int32_t scy) {
  return {true, true, dx, dy, dcx, dcy, sx, sy, scx, scy};
}

using Ops = std::vector<Op>;
using Frame = std::function<Ops(int32_t W, int32_t H, int32_t w, int32_t h)>;

// The members made of copies alone, in the order their copies are made.
const std::map<int32_t, Frame>& PlainMembers() {
  static const std::map<int32_t, Frame> m = {
      {4, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(W - w, 0, w, H, 0, 0, W, H)}; }},
      {5, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(0, 0, w, H, 0, 0, W, H)}; }},
      {6, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(W - w, 0, W, H, 0, 0)}; }},
      {7, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(w - W, 0, W, H, 0, 0)}; }},
      {8, [](int32_t, int32_t H, int32_t w, int32_t) { return Ops{C(0, 0, w, H, 0, 0)}; }},
      {9, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(W - w, 0, w, H, W - w, 0)}; }},
      {10,
       [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(0, 0, 2 * W - w, H, 0, 0, w, H)}; }},
      {11,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{S(w - W, 0, 2 * W - w, H, W - w, 0, w, H)};
       }},
      {12,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{S(w - W, 0, 3 * W - 2 * w, H, (W - w) / 2, 0, w, H)};
       }},
      {13,
       [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S((W - w) / 2, 0, w, H, 0, 0, W, H)}; }},
      {14,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t x = (W - w) / 2;
         return Ops{C(x, 0, w, H, x, 0)};
       }},
      {15,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t hw = w / 2;
         return Ops{C(0, 0, hw, H, 0, 0), C(W - hw, 0, hw, H, W - hw, 0)};
       }},
      {16,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t hw = w / 2, hW = W / 2;
         return Ops{S(0, 0, hw, H, 0, 0, hW, H), S(W - hw, 0, hw, H, hW, 0, hW, H)};
       }},
      {19,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t s = std::min(W - w, W / 10);
         return Ops{C(0, 0, w, H, 0, 0), S(w, 0, W - w, H, w, 0, s, H)};
       }},
      {20,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t x = W - w, s = std::max(x - W / 10, 0);
         return Ops{C(x, 0, w, H, x, 0), S(0, 0, x, H, s, 0, x - s, H)};
       }},
      {21, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, H - h, W, h, 0, 0, W, H)}; }},
      {22, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, 0, W, h, 0, 0, W, H)}; }},
      {23, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, H - h, W, H, 0, 0)}; }},
      {24, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, h - H, W, H, 0, 0)}; }},
      {25, [](int32_t W, int32_t, int32_t, int32_t h) { return Ops{C(0, 0, W, h, 0, 0)}; }},
      {26, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, H - h, W, h, 0, H - h)}; }},
      {27,
       [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, 0, W, 2 * H - h, 0, 0, W, h)}; }},
      {28,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{S(0, h - H, W, 2 * H - h, 0, H - h, W, h)};
       }},
      {29,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{S(0, h - H, W, 3 * H - 2 * h, 0, (H - h) / 2, W, h)};
       }},
      {30,
       [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, (H - h) / 2, W, h, 0, 0, W, H)}; }},
      {31,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t y = (H - h) / 2;
         return Ops{C(0, y, W, h, 0, y)};
       }},
      {32,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t hh = h / 2;
         return Ops{C(0, 0, W, hh, 0, 0), C(0, H - hh, W, hh, 0, H - hh)};
       }},
      {33,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t hh = h / 2, hH = H / 2;
         return Ops{S(0, 0, W, hh, 0, 0, W, hH), S(0, H - hh, W, hh, 0, hH, W, hH)};
       }},
      {36,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t s = std::min(H - h, H / 10);
         return Ops{C(0, 0, W, h, 0, 0), S(0, h, W, H - h, 0, h, W, s)};
       }},
      {37,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t y = H - h, s = std::max(y - H / 10, 0);
         return Ops{C(0, y, W, h, 0, y), S(0, 0, W, y, 0, s, W, y - s)};
       }},
      {38, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(W - w, H - h, w, h, 0, 0, W, H)}; }},
      {39, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(W - w, 0, w, h, 0, 0, W, H)}; }},
      {40, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(0, 0, w, h, 0, 0, W, H)}; }},
      {41, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(0, H - h, w, h, 0, 0, W, H)}; }},
      {42, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(W - w, H - h, W, H, 0, 0)}; }},
      {43, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(W - w, h - H, W, H, 0, 0)}; }},
      {44, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(w - W, h - H, W, H, 0, 0)}; }},
      {45, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(w - W, H - h, W, H, 0, 0)}; }},
      {46, [](int32_t, int32_t, int32_t w, int32_t h) { return Ops{C(0, 0, w, h, 0, 0)}; }},
      {47, [](int32_t, int32_t H, int32_t w, int32_t h) { return Ops{C(0, H - h, w, h, 0, H - h)}; }},
      {48,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{C(W - w, H - h, w, h, W - w, H - h)};
       }},
      {49, [](int32_t W, int32_t, int32_t w, int32_t h) { return Ops{C(W - w, 0, w, h, W - w, 0)}; }},
      {50,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(0, 0, 2 * W - w, 2 * H - h, 0, 0, w, h)};
       }},
      {51,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(0, h - H, 2 * W - w, 2 * H - h, 0, H - h, w, h)};
       }},
      {52,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(w - W, h - H, 2 * W - w, 2 * H - h, W - w, H - h, w, h)};
       }},
      {53,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(w - W, 0, 2 * W - w, 2 * H - h, W - w, 0, w, h)};
       }},
      {54,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{
             S(w - W, h - H, 3 * W - 2 * w, 3 * H - 2 * h, (W - w) / 2, (H - h) / 2, w, h)};
       }},
      {55,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S((W - w) / 2, (H - h) / 2, w, h, 0, 0, W, H)};
       }},
      {56,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t x = (W - w) / 2, y = (H - h) / 2;
         return Ops{C(x, y, w, h, x, y)};
       }},
      {58,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2;
         return Ops{C(0, 0, hw, hh, 0, 0), C(0, H - hh, hw, hh, 0, H - hh),
                    C(W - hw, H - hh, hw, hh, W - hw, H - hh), C(W - hw, 0, hw, hh, W - hw, 0)};
       }},
      {59,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
         return Ops{S(0, 0, hw, hh, 0, 0, hW, hH), S(0, H - hh, hw, hh, 0, hH, hW, hH),
                    S(W - hw, H - hh, hw, hh, hW, hH, hW, hH), S(W - hw, 0, hw, hh, hW, 0, hW, hH)};
       }},
      {60,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
         return Ops{C(hw - hW, 0, hW, hH, 0, 0), C(hW, hh - hH, hW, hH, hW, 0),
                    C(W - hw, hH, hW, hH, hW, hH), C(0, H - hh, hW, hH, 0, hH)};
       }},
      {130,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfC(w, 0, W - w, H, 0, 0), C(0, 0, w, H, W - w, 0)};
       }},
      {131,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfC(0, 0, W - w, H, w, 0), C(W - w, 0, w, H, 0, 0)};
       }},
      {132,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfS(w, 0, W - w, H, 0, 0, W, H), C(0, 0, w, H, W - w, 0)};
       }},
      {133,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfS(0, 0, W - w, H, 0, 0, W, H), C(W - w, 0, w, H, 0, 0)};
       }},
      {134,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfC(0, h, W, H - h, 0, 0), C(0, 0, W, h, 0, H - h)};
       }},
      {135,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfC(0, 0, W, H - h, 0, h), C(0, H - h, W, h, 0, 0)};
       }},
      {136,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfS(0, h, W, H - h, 0, 0, W, H), C(0, 0, W, h, 0, H - h)};
       }},
      {137,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfS(0, 0, W, H - h, 0, 0, W, H), C(0, H - h, W, h, 0, 0)};
       }},
  };
  return m;
}

void Apply(Bitmap& work, const Bitmap& newBmp, const Ops& ops) {
  for (const Op& o : ops) {
    const Bitmap& src = o.fromWork ? work : newBmp;
    if (o.stretch)
      reference::StretchBlt(work, o.dx, o.dy, o.dcx, o.dcy, src, o.sx, o.sy, o.scx, o.scy);
    else
      reference::BitBlt(work, o.dx, o.dy, o.dcx, o.dcy, src, o.sx, o.sy);
  }
}

// The brightness ramp of the roll, written out as the steps are described: columns climb
// through the middle column, rows (counted from the band's bottom) turn one line earlier.
std::vector<int32_t> Ramp(int32_t a, int32_t n, bool rows) {
  std::vector<int32_t> out(static_cast<size_t>(std::max(n, 0)), 0);
  if (n <= 1 || a == 0) return out;
  const int32_t half = n / 2;
  const bool steep = half < a;
  const int32_t period = steep ? 1 : half / a;
  const int32_t step = steep ? a / half : 1;
  int32_t offset = -a;
  out[0] = offset;
  for (int32_t k = 1; k < n; ++k) {
    if (k % period == 0) {
      const bool rising = rows ? k < half : (steep ? k <= half : k < half);
      offset += rising ? step : -step;
    }
    out[static_cast<size_t>(k)] = offset;
  }
  return out;
}

Pixel AddToColour(Pixel p, int32_t offset) {
  auto add = [&](uint8_t b) { return static_cast<uint8_t>(std::clamp(b + offset, 0, 255)); };
  return MakePixel(add(PixelR(p)), add(PixelG(p)), add(PixelB(p)), PixelA(p));
}

void ShadeBandOfColumns(Bitmap& bmp, int32_t x0, int32_t n) {
  const std::vector<int32_t> ramp = Ramp(48, n, false);
  for (int32_t k = 0; k < n; ++k) {
    const int32_t x = x0 + k;
    if (x < 0 || x >= bmp.Width()) continue;
    for (int32_t y = 0; y < bmp.Height(); ++y)
      bmp.SetPixel(x, y, AddToColour(bmp.GetPixel(x, y), ramp[static_cast<size_t>(k)]));
  }
}

void ShadeBandOfRows(Bitmap& bmp, int32_t y0, int32_t n) {
  const std::vector<int32_t> ramp = Ramp(48, n, true);
  for (int32_t line = 0; line < n; ++line) {
    const int32_t y = y0 + n - 1 - line;
    if (y < 0 || y >= bmp.Height()) continue;
    for (int32_t x = 0; x < bmp.Width(); ++x)
      bmp.SetPixel(x, y, AddToColour(bmp.GetPixel(x, y), ramp[static_cast<size_t>(line)]));
  }
}

int32_t Roll(int32_t side, int32_t extent) {
  int32_t r = side / 10;
  if (extent < r)
    r = extent;
  else if (side - extent < 2 * r)
    r = (side - extent) / 2;
  return r;
}

// The expected frame of member n. The mirrored strips of 18 and 35 are drawn as written;
// the reference stretch leaves a pixel alone where its source lies outside New.
Bitmap Expected(int32_t n, const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  const int32_t w = e.w, h = e.h;
  if (auto it = PlainMembers().find(n); it != PlainMembers().end()) {
    Apply(work, newBmp, it->second(W, H, w, h));
  } else if (n == 17) {
    const int32_t r = Roll(W, w);
    Apply(work, newBmp, {S(w + r - 1, 0, -r, H, w + r, 0, r, H), C(0, 0, w, H, 0, 0)});
    ShadeBandOfColumns(work, w, r);
  } else if (n == 18) {
    const int32_t r = Roll(W, w), x = W - w;
    Apply(work, newBmp, {S(x - 1, 0, -r, H, x - 2 * r - 1, 0, r, H), C(x, 0, w, H, x, 0)});
    ShadeBandOfColumns(work, x - r, r);
  } else if (n == 34) {
    const int32_t r = Roll(H, h);
    Apply(work, newBmp, {S(0, h + r - 1, W, -r, 0, h + r, W, r), C(0, 0, W, h, 0, 0)});
    ShadeBandOfRows(work, h, r);
  } else if (n == 35) {
    const int32_t r = Roll(H, h), y = H - h;
    Apply(work, newBmp, {S(0, y - 1, W, -r, 0, y - 2 * r - 1, W, r), C(0, y, W, h, 0, y)});
    ShadeBandOfRows(work, y - r, r);
  } else if (n == 57) {
    const int32_t hw = w / 2, hh = h / 2;
    work.ExcludeClipRect(hw, hh, W - hw, H - hh);
    reference::BitBlt(work, 0, 0, W, H, newBmp, 0, 0);
    work.SelectClipRgn(nullptr);
  } else {
    ADD_FAILURE() << "no expectation for effect " << n;
  }
  return work;
}

std::vector<int32_t> AllWipes() {
  std::vector<int32_t> v;
  for (int32_t i = 4; i <= 60; ++i) v.push_back(i);
  for (int32_t i = 130; i <= 137; ++i) v.push_back(i);
  return v;
}

TEST(WipeCrossCheck, EveryMemberAtEveryPercentOnSmallAndOddSizes) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3},   {3, 2},   {1, 5},   {5, 1},
                                               {7, 5}, {17, 11}, {40, 30}, {33, 47}, {64, 9}};
  for (const auto& [W, H] : sizes) {
    const Bitmap oldBmp = Pattern(W, H, 11), newBmp = Pattern(W, H, 12);
    for (int32_t n : AllWipes())
      for (int32_t percent = 0; percent <= 100; ++percent)
        ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
  }
}

TEST(WipeCrossCheck, EveryMemberOnWiderPictures) {
  const std::pair<int32_t, int32_t> sizes[] = {{203, 61}, {58, 151}};
  for (const auto& [W, H] : sizes) {
    const Bitmap oldBmp = Pattern(W, H, 21), newBmp = Pattern(W, H, 22);
    for (int32_t n : AllWipes())
      for (int32_t percent : {1, 9, 23, 37, 50, 51, 68, 83, 94, 99})
        ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
  }
}

TEST(WipeCrossCheck, EveryMemberOnAScreenSizedOddPicture) {
  // Rows long enough for the blits' vector paths, and self-copies that overlap.
  const int32_t W = 1023, H = 767;
  const Bitmap oldBmp = Pattern(W, H, 41), newBmp = Pattern(W, H, 42);
  for (int32_t n : AllWipes())
    ASSERT_EQ(RunEffect(n, oldBmp, newBmp, 37), Expected(n, oldBmp, newBmp, 37)) << "effect " << n;
}

TEST(WipeCrossCheck, RampsWrittenOutByHand) {
  // Columns, steep (half 2 < 48, step 24): up through the middle column, then down.
  EXPECT_EQ(Ramp(48, 5, false), (std::vector<int32_t>{-48, -24, 0, -24, -48}));
  // Rows, the same band: the turn comes at line 2 already.
  EXPECT_EQ(Ramp(48, 5, true), (std::vector<int32_t>{-48, -24, -48, -72, -96}));
  // Gentle (half 96, period 2): one unit at every even index, falling from 96 on.
  const std::vector<int32_t> g = Ramp(48, 192, false);
  EXPECT_EQ(g[1], -48);
  EXPECT_EQ(g[2], -47);
  EXPECT_EQ(g[95], -1);
  EXPECT_EQ(g[96], -2);
  EXPECT_EQ(g[191], -49);
  std::vector<int32_t> cols(192), rows(192);
  ShadeColumnOffsets(48, 192, cols.data());
  ShadeRowOffsets(48, 192, rows.data());
  EXPECT_EQ(cols, g);
  EXPECT_EQ(rows, Ramp(48, 192, true));
  for (int32_t n = 2; n < 300; ++n) {
    std::vector<int32_t> c(static_cast<size_t>(n)), r(static_cast<size_t>(n));
    ShadeColumnOffsets(48, n, c.data());
    ShadeRowOffsets(48, n, r.data());
    ASSERT_EQ(c, Ramp(48, n, false)) << n;
    ASSERT_EQ(r, Ramp(48, n, true)) << n;
  }
}

}  // namespace
}  // namespace vec
