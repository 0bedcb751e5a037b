// The area mask is decoded straight at the picture's size: memory follows the picture,
// not the size the mask declares, and every pixel takes the value the stretch of the
// declared mask onto the picture would give it.

#include <gtest/gtest.h>

#include "base/Random.h"
#include "graphics/Blit.h"
#include "picture/Mask.h"
#include "picture/Picture.h"
#include "tests/picture/PictureTestSupport.h"
#include "tests/support/AllocationProbe.h"

namespace vec {
namespace {

using test::Bytes;
using test::SampleFile;

std::string Render(const AreaMask& m) {
  std::string out;
  for (int32_t y = 0; y < m.Height(); ++y) {
    for (int32_t x = 0; x < m.Width(); ++x) {
      const int index = m.At(x, y);
      out += index == 0 ? '.' : static_cast<char>('0' + index);
    }
    out += '|';
  }
  return out;
}

// An 8 x 4 picture whose mask is the given values (width, height, codes).
std::vector<uint8_t> FileWithMask(const std::vector<int32_t>& mask) {
  SampleFile f;
  Bytes b;
  b.Raw("VE060697").Str("").Str("").Blob(f.preview).I32(0);
  b.I32(static_cast<int32_t>(mask.size()));
  for (int32_t v : mask) b.I32(v);
  b.Blob(f.picture).Str("").Zeros(24);
  return b.data;
}

TEST(MaskMemory, MaskOfAnotherSizeTakesTheStretchedValues) {
  struct Case {
    const char* name;
    std::vector<int32_t> mask;
    std::string expected;  // the 8 x 4 picture's mask
  };
  const Case cases[] = {
      // 16 x 8: rows 0-3 half area 1, half area 2; rows 4-7 area 3. Halved on both axes.
      {"twice the size",
       {16, 8, 81, 82, 81, 82, 81, 82, 81, 82, 643},
       "11112222|11112222|33333333|33333333|"},
      // 2 x 1: each mask pixel covers four columns of every row.
      {"smaller, widened", {2, 1, 11, 12}, "11112222|11112222|11112222|11112222|"},
      // 8 x 2: each mask row covers two picture rows.
      {"fewer rows", {8, 2, 84, 83}, "44444444|44444444|33333333|33333333|"},
      // 16384 x 16384 with only its first row set: the first picture row shows it.
      {"huge declared size", {16384, 16384, 163844}, "44444444|........|........|........|"},
      {"no runs", {16384, 16384}, "........|........|........|........|"},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> file = FileWithMask(c.mask);
    Picture p;
    ASSERT_TRUE(p.LoadFromMemory(file.data(), file.size())) << c.name << ": " << p.LastError();
    EXPECT_EQ(Render(p.mask), c.expected) << c.name;
  }
}

TEST(MaskMemory, HugeDeclaredMaskTakesOnlyThePicturesMemory) {
  // About 2.5 KB of file declaring a 16384 x 16384 mask (1 GiB at four bytes a pixel) over
  // an 8 x 4 picture.
  std::vector<int32_t> mask{16384, 16384};
  for (int i = 0; i < 300; ++i) mask.push_back(10 * 16384 + 1 + (i % 4));
  const std::vector<uint8_t> file = FileWithMask(mask);
  ASSERT_LT(file.size(), 3000u);
  test::AllocationProbe probe;
  Picture p;
  ASSERT_TRUE(p.LoadFromMemory(file.data(), file.size())) << p.LastError();
  EXPECT_LT(probe.PeakBytes(), size_t{1} << 20);
  EXPECT_EQ(p.mask.Width(), 8);
  EXPECT_EQ(p.mask.Height(), 4);
}

TEST(MaskMemory, FittedDecodeMatchesStretchingTheDeclaredMask) {
  // The decoder against the two-step way it replaces: decode at the declared size, then
  // stretch without blending.
  const int32_t sizes[] = {1, 2, 3, 5, 8, 13};
  RandomGenerator gen{12345};
  auto next = [&gen](uint32_t n) { return gen.Below(static_cast<int32_t>(n)); };
  for (int32_t mw : sizes)
    for (int32_t mh : sizes)
      for (int32_t pw : sizes)
        for (int32_t ph : sizes) {
          std::vector<int32_t> values{mw, mh};
          int32_t left = mw * mh + 3;  // the last run may reach past the end
          while (left > 0) {
            const int32_t run = 1 + next(static_cast<uint32_t>(std::min(left, 7)));
            values.push_back(run * 10 + next(10));
            left -= run;
          }
          AreaMask declared;
          ASSERT_TRUE(DecodeMask(values, declared).ok());
          BottomUpBitmap expected(pw, ph);
          StretchBlt(expected, 0, 0, pw, ph, AreaColorsOf(declared), 0, 0, mw, mh);
          AreaMask fitted;
          ASSERT_TRUE(DecodeMaskFitted(values, pw, ph, fitted).ok());
          ASSERT_EQ(Render(fitted), Render(AreaMaskFromColors(expected)))
              << mw << "x" << mh << " onto " << pw << "x" << ph;
        }
}

TEST(MaskMemory, FittedDecodeKeepsTheSizeChecks) {
  AreaMask m;
  const Status bad = DecodeMaskFitted({-1, 4, 11}, 8, 4, m);
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().code, ErrorCode::BadMask);
  EXPECT_EQ(bad.error().message, "Invalid area mask size -1 x 4");
  ASSERT_TRUE(DecodeMaskFitted({7}, 8, 4, m).ok());
  EXPECT_EQ(Render(m), "........|........|........|........|");
}

}  // namespace
}  // namespace vec
