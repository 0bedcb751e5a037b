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

}  // namespace
}  // namespace vec
