#include <gtest/gtest.h>

#include "base/MathUtil.h"
#include "base/SpeedTable.h"

namespace vec {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  struct Case {
    int32_t a, b, c, want;
  } cases[] = {
      {1024, 50, 100, 512},
      {5, 1, 2, 3},
      {-5, 1, 2, -3},
      {5, -1, 2, -3},
      {-5, -1, 2, 3},
      {7, 1, 3, 2},
      {8, 1, 3, 3},
      {768, 512, 1024, 384},
      {0, 5, 7, 0},
      {1, 1, 0, -1},
      {2147483647, 2, 1, -1},
      {2147483647, 2147483647, 2147483647, 2147483647},
      {-2147483647 - 1, 1, 1, -2147483647 - 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(RoundHalfEven, TiesGoToEven) {
  struct Case {
    double v;
    int32_t want;
  } cases[] = {{0.5, 0},    {1.5, 2},    {2.5, 2},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
               {2.4999, 2}, {2.5001, 3}, {12.5, 12}, {13.5, 14}, {-3.7, -4}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.v), c.want) << c.v;
}

}  // namespace
}  // namespace vec

// The nearest table value for a speed no entry matches; a tie takes the lower entry, and a
// speed outside the table lands on its nearest end.
TEST(SpeedTable, NearestIndexForSpeedsBetweenEntries) {
  struct Case {
    int32_t speed, index;
  };
  for (const Case& c : {Case{100, 10}, Case{47, 3}, Case{48, 4}, Case{65, 5}, Case{300, 17},
                        Case{301, 18}, Case{0, 0}, Case{-5, 0}, Case{10000, 20}}) {
    EXPECT_EQ(vec::NearestSpeedIndex(c.speed), c.index) << c.speed;
  }
  EXPECT_EQ(vec::SpeedIndex(65), -1);
  EXPECT_EQ(vec::SpeedIndex(360), 18);
}
