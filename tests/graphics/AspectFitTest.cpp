#include <gtest/gtest.h>

#include "graphics/AspectFit.h"

namespace vec {
namespace {

// Hand-worked fits. The wide and tall cases catch swapped axes. The side is rounded from
// the double ratio w / h: 2048x99 on 1024x768 is 49.5 exactly but 1024 / (2048 / 99.0) =
// 49.49999999999999 gives 49, as do 2048x840 on 1920x1080 (787.4999999999999) and 524x960
// on 800x600 (327.49999999999994); 2048x97 gives 48.5 exactly, which rounds to the even 48.
// 3000x1 would round to 0 and must stay visible as one row.
TEST(FitByAspect, HandWorkedFits) {
  struct Case {
    int32_t w, h, W, H;
    FitSize want;
  } cases[] = {
      {2000, 1000, 1024, 768, {1024, 512}},  // wider than the screen: full width
      {1000, 2000, 1024, 768, {384, 768}},   // taller: full height
      {1024, 768, 1024, 768, {1024, 768}},   // same aspect
      {800, 600, 1920, 1080, {1440, 1080}},  // enlarged
      {2048, 99, 1024, 768, {1024, 49}},     // 49.49999999999999
      {2048, 840, 1920, 1080, {1920, 787}},  // 787.4999999999999
      {524, 960, 800, 600, {327, 600}},      // 327.49999999999994, the tall side
      {2048, 97, 1024, 768, {1024, 48}},     // 48.5 rounds to even 48
      {3000, 1, 1024, 768, {1024, 1}},       // never less than one row
      {1, 3000, 1024, 768, {1, 768}},        // never less than one column
      {0, 600, 1920, 1080, {1920, 1080}},    // a picture without area keeps the output
      {600, 400, 0, 1080, {0, 1080}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitByAspect(c.w, c.h, c.W, c.H), c.want)
        << c.w << "x" << c.h << " in " << c.W << "x" << c.H;
  }
}

// The 4:3 area of screens of every shape, worked by hand. Wider screens get bars left and
// right, narrower ones above and below (a swapped axis puts them on the wrong sides); the
// side that does not limit is rounded to nearest, not cut (1001x701: 934.67 gives 935), a
// half to even (1002: 751.5 gives 752, 1006: 754.5 gives 754); an odd pixel left over goes
// to the right or bottom bar (1365: 341 = 170 + 171).
TEST(LetterboxArea, HandWorkedScreens) {
  struct Case {
    const char* name;
    int32_t W, H;
    Rect want;
  } cases[] = {
      {"16:9", 1920, 1080, {240, 0, 1680, 1080}},
      {"16:10", 1920, 1200, {160, 0, 1760, 1200}},
      {"5:4", 1280, 1024, {0, 32, 1280, 992}},
      {"4:3 fills the screen", 1024, 768, {0, 0, 1024, 768}},
      {"odd pixel to the right bar", 1365, 768, {170, 0, 1194, 768}},
      {"width cut down", 1000, 700, {33, 0, 966, 700}},       // 933.33
      {"width rounded up", 1001, 701, {33, 0, 968, 701}},     // 934.67
      {"half to even, up", 1002, 800, {0, 24, 1002, 776}},    // 751.5
      {"half to even, down", 1006, 801, {0, 23, 1006, 777}},  // 754.5, 47 = 23 + 24
      {"portrait", 1080, 1920, {0, 555, 1080, 1365}},
      {"one pixel", 1, 1, {0, 0, 1, 1}},
      {"two by one", 2, 1, {0, 0, 1, 1}},
      {"no width", 0, 768, {}},
      {"no height", 1024, 0, {}},
      {"negative", -4, 3, {}},
  };
  for (const Case& c : cases) {
    const Rect area = LetterboxArea(c.W, c.H);
    EXPECT_EQ(area, c.want) << c.name << ": got " << area.left << "," << area.top << " "
                            << area.Width() << "x" << area.Height();
  }
}

}  // namespace
}  // namespace vec
