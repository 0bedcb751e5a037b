// What the viewer sees of the direct output: the 4:3 surface in the screen's largest 4:3
// area, black around it, on screens wider, narrower and of the same shape.

#include <gtest/gtest.h>

#include <string>

#include "graphics/BlendBitmap.h"
#include "slideshow/ShowDisplay.h"

namespace vec {
namespace {

constexpr Pixel kBlack = 0;
constexpr Pixel kRed = MakePixel(255, 0, 0), kGreen = MakePixel(0, 255, 0),
                kBlue = MakePixel(0, 0, 255), kYellow = MakePixel(255, 255, 0);

// A surface of four colours, one to each quarter: red top left, green top right, blue
// bottom left, yellow bottom right. A swapped axis or a mirrored row order moves a colour.
BlendBitmap QuarterColours(int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  bmp.FillRect(0, 0, w / 2, h / 2, kRed);
  bmp.FillRect(w / 2, 0, w, h / 2, kGreen);
  bmp.FillRect(0, h / 2, w / 2, h, kBlue);
  bmp.FillRect(w / 2, h / 2, w, h, kYellow);
  return bmp;
}

// The areas are worked by hand: 320x180 is 240 x 180 at x = 40; 180x320 is 180 x 135 at
// y = 92 (185 over, the odd pixel below); 200x150 is the whole screen. Every pixel of the
// composed screen is checked against them, so a bar a pixel too narrow or a surface a
// pixel off shows.
TEST(ScreenDisplayCompose, DirectSurfaceFillsTheCentred4To3AreaWithBlackAround) {
  struct Case {
    const char* name;
    int32_t W, H;
    Rect area;
  } cases[] = {
      {"16:9", 320, 180, {40, 0, 280, 180}},
      {"portrait", 180, 320, {0, 92, 180, 227}},
      {"4:3", 200, 150, {0, 0, 200, 150}},
  };
  for (const Case& c : cases) {
    ScreenDisplay display(c.W, c.H);
    ASSERT_TRUE(display.InitDirect());
    display.Present(QuarterColours(8, 6), 17, 5);  // the direct output ignores the position
    BlendBitmap out;
    display.Compose(out);
    ASSERT_EQ(out.Width(), c.W) << c.name;
    ASSERT_EQ(out.Height(), c.H) << c.name;
    // Nearest pixel: the surface's second half starts at the first pixel that maps to it.
    const int32_t midX = c.area.left + (c.area.Width() + 1) / 2;
    const int32_t midY = c.area.top + (c.area.Height() + 1) / 2;
    int32_t wrong = 0;
    for (int32_t y = 0; y < c.H; ++y)
      for (int32_t x = 0; x < c.W; ++x) {
        Pixel want = kBlack;
        if (x >= c.area.left && x < c.area.right && y >= c.area.top && y < c.area.bottom)
          want = y < midY ? (x < midX ? kRed : kGreen) : (x < midX ? kBlue : kYellow);
        if (out.GetPixel(x, y) != want && wrong++ < 5)
          ADD_FAILURE() << c.name << ": pixel " << x << "," << y << " is " << std::hex
                        << out.GetPixel(x, y) << ", not " << want;
      }
    EXPECT_EQ(wrong, 0) << c.name;
  }
}

// The screen-sized output is shown as it is, however wide the screen: only the direct
// output is a picture mode.
TEST(ScreenDisplayCompose, ScreenSizedOutputIsShownUnscaled) {
  ScreenDisplay display(320, 180);
  display.Present(QuarterColours(8, 6), 3, 2);
  BlendBitmap out;
  display.Compose(out);
  EXPECT_EQ(out.GetPixel(0, 0), kBlack);
  EXPECT_EQ(out.GetPixel(3, 2), kRed);
  EXPECT_EQ(out.GetPixel(10, 7), kYellow);
  EXPECT_EQ(out.GetPixel(11, 8), kBlack);
  EXPECT_EQ(out.GetPixel(300, 90), kBlack);
}

// Before the first frame the direct output shows black everywhere, bars and area alike.
TEST(ScreenDisplayCompose, DirectOutputWithoutAFrameIsBlack) {
  ScreenDisplay display(320, 180);
  ASSERT_TRUE(display.InitDirect());
  BlendBitmap out(320, 180);
  out.Clear(kRed);
  display.Compose(out);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{160, 90}, std::pair{319, 179}})
    EXPECT_EQ(out.GetPixel(x, y), kBlack) << x << "," << y;
}

}  // namespace
}  // namespace vec
