// The pen-and-brush rules the fixed pixels of the controls are drawn with.

#include <gtest/gtest.h>

#include "configui/controls/PixelCanvas.h"
#include "tests/configui/controls/ControlsTestSupport.h"

namespace vec {
namespace {

constexpr Pixel kPen = MakePixel(200, 0, 0);
constexpr Pixel kBrush = MakePixel(0, 0, 200);
constexpr Pixel kBack = MakePixel(10, 10, 10);
const std::map<char, Pixel> kLegend{{'P', kPen}, {'B', kBrush}, {'.', kBack}};

PixelCanvas MakeCanvas(BlendBitmap& bmp, int32_t penWidth) {
  bmp.Clear(kBack);
  PixelCanvas c(bmp);
  c.penColor = kPen;
  c.brushColor = kBrush;
  c.penWidth = penWidth;
  return c;
}

// A one-pixel outline sits on l..r-1: drawing it on r or leaving out r-1 would show here.
TEST(PixelCanvas, ThinRectangleOutlinesTheHalfOpenRectangle) {
  BlendBitmap bmp(8, 7);
  MakeCanvas(bmp, 1).Rectangle(1, 1, 6, 5);
  test::ExpectArt(
      bmp, 0, 0,
      {"........", ".PPPPP..", ".PBBBP..", ".PBBBP..", ".PPPPP..", "........", "........"},
      kLegend);
}

// A two-pixel pen reaches one pixel outside on the left and top and stays inside on the right
// and bottom, so the outer box is the same as the thin one drawn from one pixel further out.
TEST(PixelCanvas, TwoPixelRectangleCoversOneOutsideAndOneInside) {
  BlendBitmap bmp(9, 8);
  MakeCanvas(bmp, 2).Rectangle(2, 2, 8, 7);
  test::ExpectArt(bmp, 0, 0,
                  {".........", ".PPPPPPP.", ".PPPPPPP.", ".PPBBBPP.", ".PPBBBPP.", ".PPPPPPP.",
                   ".PPPPPPP.", "........."},
                  kLegend);
}

// Thin lines leave out their end point; wide lines draw it and lay their width across the
// minor axis (downwards-up for a flat or 45-degree line, sideways for a steep one).
TEST(PixelCanvas, LinesAndTheirEndPoints) {
  struct Case {
    int32_t width, x1, y1, x2, y2;
    std::vector<std::string> art;
  };
  const Case cases[] = {
      {1, 1, 1, 5, 1, {".......", ".PPPP..", "......."}},
      {1, 5, 1, 1, 1, {".......", "..PPPP.", "......."}},
      {2, 1, 1, 4, 1, {".PPPP..", ".PPPP..", "......."}},
      {1, 1, 0, 3, 2, {".P.....", "..P....", "......."}},
      {2, 1, 1, 3, 3, {".P.....", ".PP....", "..PP...", "...P..."}},
      {2, 2, 0, 3, 3, {".PP....", ".PP....", "..PP...", "..PP..."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " from (" << c.x1 << "," << c.y1
                                    << ") to (" << c.x2 << "," << c.y2 << ")");
    BlendBitmap bmp(7, static_cast<int32_t>(c.art.size()));
    MakeCanvas(bmp, c.width).Line(c.x1, c.y1, c.x2, c.y2);
    test::ExpectArt(bmp, 0, 0, c.art, kLegend);
  }
}

// The bottom-right colour owns the bottom-left and top-right corners.
TEST(PixelCanvas, EdgeCornersBelongToTheBottomRightColour) {
  BlendBitmap bmp(5, 4);
  MakeCanvas(bmp, 1).Edge(Rect{0, 0, 5, 4}, kPen, kBrush);
  test::ExpectArt(bmp, 0, 0, {"PPPPB", "P...B", "P...B", "BBBBB"}, kLegend);
}

// The transparent colour is the bottom-left pixel's (the top-left one here is different and
// must be drawn); alpha-0 pixels are never drawn; drawn pixels become opaque.
TEST(PixelCanvas, ImageTransparencyUsesTheBottomLeftPixel) {
  const Pixel key = MakePixel(255, 0, 255), top = MakePixel(0, 255, 0);
  BlendBitmap image(3, 2);
  image.SetPixel(0, 0, top);
  image.SetPixel(1, 0, key);
  image.SetPixel(2, 0, MakePixel(1, 2, 3, 0));  // carries no colour
  image.SetPixel(0, 1, key);
  image.SetPixel(1, 1, MakePixel(9, 9, 9, 128));
  image.SetPixel(2, 1, top);
  struct Case {
    bool transparent;
    std::vector<std::string> art;
  };
  const std::map<char, Pixel> legend{
      {'.', kBack}, {'T', top}, {'K', key}, {'G', MakePixel(9, 9, 9)}};
  for (const Case& c : {Case{true, {".....", ".T...", "..GT.", "....."}},
                        Case{false, {".....", ".TK..", ".KGT.", "....."}}}) {
    SCOPED_TRACE(c.transparent);
    BlendBitmap bmp(5, 4);
    MakeCanvas(bmp, 1).DrawImage(1, 1, image, c.transparent);
    test::ExpectArt(bmp, 0, 0, c.art, legend);
  }
}

TEST(PixelCanvas, EverythingIsClippedToTheBitmapAndTheClip) {
  BlendBitmap bmp(4, 3);
  PixelCanvas c = MakeCanvas(bmp, 3);
  c.Rectangle(-5, -5, 20, 20);
  c.Line(-10, 1, 30, 1);
  c.DrawImage(-2, -2, test::Solid(3, 3, kPen), false);
  c.SetClip(Rect{1, 1, 3, 2});
  c.FillRect(Rect{0, 0, 4, 3}, kBrush);
  test::ExpectArt(bmp, 0, 0, {"P???", "?BB?", "????"}, kLegend);
}

}  // namespace
}  // namespace vec
