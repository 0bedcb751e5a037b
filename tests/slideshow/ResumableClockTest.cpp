#include <gtest/gtest.h>

#include "slideshow/ResumableClock.h"

namespace vec {
namespace {

TEST(ResumableClock, FollowsItsSourceUntilResumed) {
  FakeClock source(5000);
  ResumableClock clock(source);
  EXPECT_EQ(clock.Ticks(), 5000u);
  source.Advance(40);
  EXPECT_EQ(clock.Ticks(), 5040u);
  clock.Sleep(10);  // sleeping is real time, not a pause
  EXPECT_EQ(clock.Ticks(), 5050u);
}

TEST(ResumableClock, TheStoppedStretchDoesNotCount) {
  FakeClock source(0xFFFFFF00u);  // across the 32-bit wrap as well
  ResumableClock clock(source);
  const uint32_t before = clock.Ticks();
  source.Advance(600000);  // ten minutes stopped
  clock.MarkResumed();
  EXPECT_EQ(clock.Ticks(), before);
  source.Advance(33);
  EXPECT_EQ(TickDiff(clock.Ticks(), before), 33u);
  source.Advance(100);  // a second resume without a reading in between counts once
  clock.MarkResumed();
  clock.MarkResumed();
  EXPECT_EQ(TickDiff(clock.Ticks(), before), 33u);
  source.Advance(7);
  EXPECT_EQ(TickDiff(clock.Ticks(), before), 40u);
}

}  // namespace
}  // namespace vec
