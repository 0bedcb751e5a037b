#include <gtest/gtest.h>

#include "animation/Weather.h"
#include "base/Random.h"

namespace vec {
namespace {

struct CountCase {
  int32_t asked, kept;
};

class WeatherCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(WeatherCount, IsLimitedToZeroToOneThousand) {
  BlendBitmap target(100, 80);
  Snow snow;
  Rain rain;
  for (WeatherEffect* e :
       {static_cast<WeatherEffect*>(&snow), static_cast<WeatherEffect*>(&rain)}) {
    e->SetTarget(&target);
    e->SetCount(GetParam().asked);
    e->Place();
  }
  EXPECT_EQ(snow.Flakes().size(), static_cast<size_t>(GetParam().kept));
  EXPECT_EQ(rain.Drops().size(), static_cast<size_t>(GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(Weather, WeatherCount,
                         ::testing::Values(CountCase{5000, 1000}, CountCase{1000, 1000},
                                           CountCase{7, 7}, CountCase{0, 0}, CountCase{-3, 0},
                                           CountCase{INT32_MIN, 0}));

TEST(Weather, PlacesParticlesOnTheTargetWithTheirShapes) {
  SetRandSeed(99);
  BlendBitmap target(50, 40);
  Snow snow;
  snow.SetTarget(&target);
  snow.SetCount(500);
  snow.Place();
  for (const SnowFlake& f : snow.Flakes()) {
    ASSERT_TRUE(f.x >= 0 && f.x < 50 && f.y >= 0 && f.y < 40);
    ASSERT_TRUE(f.size >= 2 && f.size <= 4);
    ASSERT_TRUE(f.drift >= -1 && f.drift <= 1);
  }
  Rain rain;
  rain.SetTarget(&target);
  rain.SetCount(500);
  rain.Place();
  for (const RainDrop& d : rain.Drops()) {
    ASSERT_TRUE(d.size >= 2 && d.size <= 4);
    ASSERT_TRUE(d.lengthFactor >= 1 && d.lengthFactor <= 4);
  }
}

TEST(Weather, SpeedIndexOutsideTheTableIsClampedIntoIt) {
  EXPECT_EQ(SpeedTableAt(10), 100);
  EXPECT_EQ(SpeedTableAt(20), 500);
  EXPECT_EQ(SpeedTableAt(21), 500);
  EXPECT_EQ(SpeedTableAt(INT32_MAX), 500);
  EXPECT_EQ(SpeedTableAt(-1), 10);
  EXPECT_EQ(SpeedTableAt(3), 45);
}

struct SnowMove {
  const char* name;
  int32_t speedIndex, speedPercent;
  uint32_t elapsed;
  double dy;  // for a size-2 flake
};

class SnowSpeed : public ::testing::TestWithParam<SnowMove> {};

TEST_P(SnowSpeed, MovesAFlakeByElapsedTime) {
  const SnowMove& m = GetParam();
  BlendBitmap target(200, 400);
  Snow snow;
  snow.SetTarget(&target);
  snow.Flakes().push_back({100, 10, 2, 0});
  snow.speedIndex = m.speedIndex;
  snow.speedPercent = m.speedPercent;
  snow.elapsed = m.elapsed;
  snow.Move();
  EXPECT_NEAR(snow.Flakes()[0].y, 10 + m.dy, 1e-9);
  EXPECT_DOUBLE_EQ(snow.Flakes()[0].x, 100);
}

INSTANTIATE_TEST_SUITE_P(Weather, SnowSpeed,
                         ::testing::Values(SnowMove{"Index10At100PercentFor70ms", 10, 100, 70, 2.0},
                                           SnowMove{"Index20", 20, 100, 70, 10.0},
                                           SnowMove{"IndexBeyondTheTable", 40, 100, 70, 10.0},
                                           SnowMove{"NegativeIndex", -4, 100, 70, 0.2},
                                           SnowMove{"HalfSpeed", 10, 50, 140, 2.0}),
                         [](const ::testing::TestParamInfo<SnowMove>& info) {
                           return info.param.name;
                         });

TEST(Weather, TimeStepIsWorkedOutLeftToRight) {
  // 1 ms / 70 x 30 / 100 x 45 / 100, rounded after every operation, is 0x1.f9903cdad7eaep-10;
  // grouping the two percentages first would give one unit more in the last place. A size-2
  // flake falls two steps. Rain: 1 / 50 x 70 / 100 x 45 / 100 is 0x1.9ce075f6fd221p-8 (grouped:
  // ...21fp-8), and a size-4 drop falls twelve steps.
  BlendBitmap target(200, 400);
  Snow snow;
  snow.SetTarget(&target);
  snow.Flakes().push_back({100, 0, 2, 0});
  snow.speedIndex = 2;
  snow.speedPercent = 45;
  snow.elapsed = 1;
  snow.Move();
  EXPECT_EQ(snow.Flakes()[0].y, 0x1.f9903cdad7eaep-9);

  Rain rain;
  rain.SetTarget(&target);
  rain.Drops().push_back({100, 0, 4, 1});
  rain.speedIndex = 6;
  rain.speedPercent = 45;
  rain.elapsed = 1;
  rain.Move();
  EXPECT_EQ(rain.Drops()[0].y, 0x1.35a858793dd99p-4);
}

TEST(Weather, SnowWrapsAtTheSideEdges) {
  SetRandSeed(7);
  BlendBitmap target(200, 100);
  Snow snow;
  snow.SetTarget(&target);
  snow.speedIndex = 10;
  snow.elapsed = 70;  // one pixel of drift
  for (int i = 0; i < 200; ++i) {
    snow.Flakes().assign({{0.5, 10, 2, -1}, {199.5, 10, 2, 1}});
    snow.Move();
    const SnowFlake& left = snow.Flakes()[0];
    const SnowFlake& right = snow.Flakes()[1];
    ASSERT_GE(left.x, 200);
    ASSERT_LE(left.x, 249);
    ASSERT_LE(right.x, 0);
    ASSERT_GE(right.x, -49);
    ASSERT_GE(left.size, 2);
    ASSERT_LE(left.size, 4);
  }
}

TEST(Weather, SnowRestartsAboveTheTopAfterTheBottom) {
  BlendBitmap target(50, 100);
  Snow snow;
  snow.SetTarget(&target);
  snow.speedIndex = 10;
  snow.elapsed = 70;
  snow.Flakes().push_back({20, 98, 2, 0});
  snow.Move();
  EXPECT_LE(snow.Flakes()[0].y, 0);
  EXPECT_GT(snow.Flakes()[0].y, -100);
}

TEST(Weather, RainRestartsAboveTheTopKeepingItsX) {
  SetRandSeed(3);
  BlendBitmap target(80, 100);
  Rain rain;
  rain.SetTarget(&target);
  rain.speedIndex = 10;
  rain.direction = 90;
  rain.elapsed = 50;  // 3 x size pixels
  for (int i = 0; i < 100; ++i) {
    rain.Drops().assign({{40, 119, 2, 1}});
    rain.Move();
    ASSERT_LE(rain.Drops()[0].y, 0);
    ASSERT_GT(rain.Drops()[0].y, -100);
    ASSERT_NEAR(rain.Drops()[0].x, 40, 1e-9);
  }
}

TEST(Weather, RainSlantsWithItsDirection) {
  BlendBitmap target(80, 100);
  Rain rain;
  rain.SetTarget(&target);
  rain.speedIndex = 10;
  rain.elapsed = 50;
  rain.direction = 180 - 60;  // Angle 60 moves drops to the left
  rain.Drops().assign({{40, 10, 2, 1}});
  rain.Move();
  EXPECT_NEAR(rain.Drops()[0].y, 16, 1e-9);
  EXPECT_NEAR(rain.Drops()[0].x, 40 - 3, 1e-9);  // cos 120 x 6
}

TEST(Weather, SnowFlakeOfSizeTwoIsThreeBlendedPixels) {
  BlendBitmap target(10, 10);
  target.Clear(0xFF000000);
  Snow snow;
  snow.SetTarget(&target);
  snow.opacity = 10;
  snow.Flakes().push_back({4.4, 5.0, 2, 0});
  snow.Draw();
  EXPECT_EQ(PixelR(target.GetPixel(4, 5)), 160);
  EXPECT_EQ(PixelR(target.GetPixel(5, 5)), 60);
  EXPECT_EQ(PixelR(target.GetPixel(4, 6)), 60);
  EXPECT_EQ(target.GetPixel(3, 5), 0xFF000000u);
  EXPECT_EQ(target.GetPixel(4, 4), 0xFF000000u);
}

TEST(Weather, OpacityZeroDrawsNothingButParticlesStillMove) {
  BlendBitmap target(40, 40);
  target.Clear(0xFF102030);
  Snow snow;
  snow.SetTarget(&target);
  snow.opacity = 0;
  snow.speedIndex = 10;
  snow.elapsed = 70;
  snow.Flakes().push_back({10, 10, 4, 0});
  snow.MoveAndDraw();
  Rain rain;
  rain.SetTarget(&target);
  rain.opacity = 0;
  rain.length = 50;
  rain.Drops().push_back({20, 5, 3, 2});
  rain.MoveAndDraw();
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(target.GetPixel(x, y), 0xFF102030u);
  EXPECT_GT(snow.Flakes()[0].y, 10);
}

TEST(Weather, RainStreakIsBrighterInItsLowerQuarterAndStopsShortOfItsEnd) {
  BlendBitmap target(20, 80);
  target.Clear(0xFF000000);
  Rain rain;
  rain.SetTarget(&target);
  rain.opacity = 10;
  rain.length = 100;  // 4 x 1 x 100 / 10 = 40 pixels
  rain.direction = 90;
  rain.Drops().push_back({10, 10, 4, 1});
  rain.Draw();
  const int upper = PixelR(target.GetPixel(10, 20));
  const int lower = PixelR(target.GetPixel(10, 45));
  EXPECT_GT(upper, 0);
  EXPECT_GT(lower, upper);
  EXPECT_EQ(target.GetPixel(10, 50), 0xFF000000u);
  EXPECT_EQ(target.GetPixel(10, 9), 0xFF000000u);
}

TEST(Weather, FarAwayOrHugeParticlesAreHarmless) {
  BlendBitmap target(30, 30);
  Rain rain;
  rain.SetTarget(&target);
  rain.length = INT32_MAX;
  rain.opacity = 10;
  rain.Drops().push_back({1e12, -1e12, 4, 4});
  rain.Drops().push_back({10, 10, 9, 7});
  rain.MoveAndDraw();
  Snow snow;
  snow.SetTarget(&target);
  snow.Flakes().push_back({-1e15, 1e15, 4, 1});
  snow.opacity = 99;
  snow.MoveAndDraw();
  SUCCEED();
}

}  // namespace
}  // namespace vec
