// Logical window sizes and mouse positions in a monitor's device pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/DevicePixels.h"

namespace vec {
namespace {

// Catches rendering at the logical size and letting the compositor scale it up.
TEST(DevicePixels, AScaledMonitorGetsFramesOfItsDevicePixels) {
  EXPECT_EQ(DevicePixelSize(1920, 1080, 2.0), (PixelSize{3840, 2160}));
  EXPECT_EQ(DevicePixelSize(1920, 1080, 1.0), (PixelSize{1920, 1080}));
}

// Catches truncation at fractional scales: 1366 x 1.25 = 1707.5 rounds up, 2560 x 0.75 = 1920.
TEST(DevicePixels, FractionalScalesRoundToNearest) {
  EXPECT_EQ(DevicePixelSize(1280, 720, 1.5), (PixelSize{1920, 1080}));
  EXPECT_EQ(DevicePixelSize(1366, 768, 1.25), (PixelSize{1708, 960}));
  EXPECT_EQ(DevicePixelSize(2560, 1440, 0.75), (PixelSize{1920, 1080}));
}

// Catches a zero or broken ratio from the toolkit collapsing the frame to nothing.
TEST(DevicePixels, ARatioThatIsNotAPositiveNumberCountsAsOne) {
  EXPECT_EQ(DevicePixelSize(800, 600, 0.0), (PixelSize{800, 600}));
  EXPECT_EQ(DevicePixelSize(800, 600, -2.0), (PixelSize{800, 600}));
  EXPECT_EQ(DevicePixelSize(800, 600, std::nan("")), (PixelSize{800, 600}));
  EXPECT_EQ(DevicePixelSize(800, 600, std::numeric_limits<double>::infinity()),
            (PixelSize{800, 600}));
}

// The show ends on a move of more than two device pixels: at ratio 2 a logical move of one
// pixel is two device pixels (stays), one of 1.5 is three (ends).
TEST(DevicePixels, MousePositionsAreMeasuredInDevicePixels) {
  EXPECT_EQ(ToDevicePixels(1.0, 2.0), 2);
  EXPECT_EQ(ToDevicePixels(1.5, 2.0), 3);
  EXPECT_EQ(ToDevicePixels(10.25, 2.0), 21);  // 20.5 rounds away from zero
  EXPECT_EQ(ToDevicePixels(7.0, 1.0), 7);
}

}  // namespace
}  // namespace vec
