#include <gtest/gtest.h>

#include "studio/model/MaskImages.h"
#include "tests/studio/StudioTestSupport.h"

namespace vec::studio {
namespace {

TEST(MaskImagesTest, EachPixelTakesTheNearestAreaColour) {
  struct Case {
    const char* name;
    Pixel pixel;
    uint8_t area;
  };
  const Case cases[] = {
      {"black", MakePixel(0, 0, 0), 0},
      {"blue", MakePixel(0, 0, 255), 1},
      {"magenta", MakePixel(255, 0, 255), 2},
      {"red", MakePixel(255, 0, 0), 3},
      {"yellow", MakePixel(255, 255, 0), 4},
      {"blue smoothed at its edge", MakePixel(30, 20, 190), 1},
      {"dark red", MakePixel(140, 10, 20), 3},
      {"dark grey is nearer black", MakePixel(60, 60, 60), 0},
      {"orange is nearer yellow than red", MakePixel(255, 140, 0), 4},
      // White is as far from magenta as from yellow: the lower area wins.
      {"white", MakePixel(255, 255, 255), 2},
      {"red, but transparent", MakePixel(255, 0, 0, 100), 0},
      {"red, half opaque", MakePixel(255, 0, 0, 128), 3},
  };
  for (const Case& c : cases) EXPECT_EQ(NearestAreaOf(c.pixel), c.area) << c.name;
}

TEST(MaskImagesTest, AMaskPictureOfAnotherSizeIsFittedToThePicture) {
  // 4 x 2: left half red (area 3), right half blue (area 1); fitted to 8 x 4.
  BlendBitmap picture(4, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x)
      picture.SetPixel(x, y, x < 2 ? MakePixel(250, 5, 5) : MakePixel(5, 5, 250));
  const AreaMask mask = MaskFromPicture(picture, 8, 4);
  ASSERT_EQ(mask.Width(), 8);
  ASSERT_EQ(mask.Height(), 4);
  EXPECT_EQ(test::PixelsOf(mask, 3), test::Block(0, 0, 3, 3));
  EXPECT_EQ(test::PixelsOf(mask, 1), test::Block(4, 0, 7, 3));
}

TEST(MaskImagesTest, ExportedMaskComesBackTheSame) {
  AreaMask mask(7, 5);
  for (int32_t i = 0; i < 5; ++i) mask.Set(i, i, static_cast<uint8_t>(i));
  const BlendBitmap picture = MaskPicture(mask);
  EXPECT_EQ(picture.GetPixel(3, 3), 0xFFFF0000u);  // area 3 in red, opaque
  EXPECT_EQ(picture.GetPixel(1, 1), 0xFF0000FFu);  // area 1 in blue
  EXPECT_EQ(picture.GetPixel(6, 0), 0xFF000000u);  // no area, black
  EXPECT_EQ(MaskFromPicture(picture, 7, 5), mask);
}

TEST(MaskImagesTest, TheLayerPaintsOnlyItsRectangle) {
  AreaMask mask(6, 4);
  mask.Set(1, 1, 4);
  mask.Set(4, 1, 2);
  std::vector<uint32_t> layer(6 * 4, 0x12345678u);
  PaintMaskLayer(mask, {0, 1, 3, 2}, layer.data(), 6);
  EXPECT_EQ(layer[6 + 1], 0xFFFFFF00u);  // area 4, yellow, opaque
  EXPECT_EQ(layer[6 + 0], 0u);           // no area: transparent
  EXPECT_EQ(layer[6 + 4], 0x12345678u);  // outside the rectangle: untouched
  EXPECT_EQ(layer[0], 0x12345678u);
}

}  // namespace
}  // namespace vec::studio
