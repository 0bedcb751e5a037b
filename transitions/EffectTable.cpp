// The table of all transition effects, in the order and with the names that settings and
// the authoring side use. Each row names the routine that draws it and, for a routine that
// draws a whole family, the arguments that pick the member (see the routine's header).

#include <algorithm>
#include <iterator>

#include "base/MathUtil.h"
#include "transitions/BandEffects.h"
#include "transitions/BlendEffects.h"
#include "transitions/Effect.h"
#include "transitions/ShapeEffects.h"
#include "transitions/WipeEffects.h"

namespace vec {
namespace {

using enum Placement;

constexpr Effect kEffectTable[] = {
    {1, "Fade", Fade},
    {2, "Pixelate", Pixelate},
    {3, "Dissolve", Dissolve},
    {4, "Expand from right", StretchIntoBlock, Placed(Far, Whole)},
    {5, "Expand from left", StretchIntoBlock, Placed(Near, Whole)},
    {6, "Slide in from right", SlideIn, Placed(Far, Whole)},
    {7, "Slide in from left", SlideIn, Placed(Near, Whole)},
    {8, "Reveal from left", RevealBlock, Placed(Near, Whole)},
    {9, "Reveal from right", RevealBlock, Placed(Far, Whole)},
    {10, "Expand in from right", ShrinkOntoScreen, Placed(Near, Whole)},
    {11, "Expand in from left", ShrinkOntoScreen, Placed(Far, Whole)},
    {12, "Expand in to middle", ShrinkOntoScreen, Placed(Middle, Whole)},
    {13, "Expand out from middle", StretchIntoBlock, Placed(Middle, Whole)},
    {14, "Reveal out from middle", RevealBlock, Placed(Middle, Whole)},
    {15, "Reveal in from sides", RevealInFromSides},
    {16, "Expand in from sides", ExpandInFromSides},
    {17, "Unroll from left", UnrollFromLeft},
    {18, "Unroll from right", UnrollFromRight},
    {19, "Build up from right", BuildUpFromRight},
    {20, "Build up from left", BuildUpFromLeft},
    {21, "Expand from bottom", StretchIntoBlock, Placed(Whole, Far)},
    {22, "Expand from top", StretchIntoBlock, Placed(Whole, Near)},
    {23, "Slide in from bottom", SlideIn, Placed(Whole, Far)},
    {24, "Slide in from top", SlideIn, Placed(Whole, Near)},
    {25, "Reveal from top", RevealBlock, Placed(Whole, Near)},
    {26, "Reveal from bottom", RevealBlock, Placed(Whole, Far)},
    {27, "Expand in from bottom", ShrinkOntoScreen, Placed(Whole, Near)},
    {28, "Expand in from top", ShrinkOntoScreen, Placed(Whole, Far)},
    {29, "Expand in to middle (horiz)", ShrinkOntoScreen, Placed(Whole, Middle)},
    {30, "Expand out from middle (horiz)", StretchIntoBlock, Placed(Whole, Middle)},
    {31, "Reveal from middle (horiz)", RevealBlock, Placed(Whole, Middle)},
    {32, "Slide in from top / bottom", SlideInFromTopBottom},
    {33, "Expand in from top / bottom", ExpandInFromTopBottom},
    {34, "Unroll from top", UnrollFromTop},
    {35, "Unroll from bottom", UnrollFromBottom},
    {36, "Expand gradually from bottom", ExpandGraduallyFromBottom},
    {37, "Expand in gradually from top", ExpandInGraduallyFromTop},
    {38, "Expand from bottom right", StretchIntoBlock, Placed(Far, Far)},
    {39, "Expand from top right", StretchIntoBlock, Placed(Far, Near)},
    {40, "Expand from top left", StretchIntoBlock, Placed(Near, Near)},
    {41, "Expand from bottom left", StretchIntoBlock, Placed(Near, Far)},
    {42, "Slide in from bottom right", SlideIn, Placed(Far, Far)},
    {43, "Slide in from top right", SlideIn, Placed(Far, Near)},
    {44, "Slide in from top left", SlideIn, Placed(Near, Near)},
    {45, "Slide in from bottom left", SlideIn, Placed(Near, Far)},
    {46, "Reveal from top left", RevealBlock, Placed(Near, Near)},
    {47, "Reveal from bottom left", RevealBlock, Placed(Near, Far)},
    {48, "Reveal from bottom right", RevealBlock, Placed(Far, Far)},
    {49, "Reveal from top right", RevealBlock, Placed(Far, Near)},
    {50, "Appear and Contract to top left", ShrinkOntoScreen, Placed(Near, Near)},
    {51, "Appear and Contract to bottom left", ShrinkOntoScreen, Placed(Near, Far)},
    {52, "Appear and Contract to bottom right", ShrinkOntoScreen, Placed(Far, Far)},
    {53, "Appear and Contract to top right", ShrinkOntoScreen, Placed(Far, Near)},
    {54, "Appear and Contract to middle", ShrinkOntoScreen, Placed(Middle, Middle)},
    {55, "Expand out from centre", StretchIntoBlock, Placed(Middle, Middle)},
    {56, "Reveal out from centre", RevealBlock, Placed(Middle, Middle)},
    {57, "Reveal in to centre", RevealInToCentre},
    {58, "Quarters Reveal in to middle", QuartersRevealInToMiddle},
    {59, "Quarters Expand to middle", QuartersExpandToMiddle},
    {60, "Quarters Slide in to middle", QuartersSlideInToMiddle},
    {61, "Curved Reveal from left", CurvedRevealFromLeft},
    {62, "Curved Reveal from right", CurvedRevealFromRight},
    {63, "Bars in from right", RevealBars, {2, 0, 0, 1}},
    {64, "Bars in from left", RevealBars, {2, 0, 0, 2}},
    {65, "Bars left then right", RevealBars, {2, 0, 0, 4}},
    {66, "Bars right then left", RevealBars, {2, 0, 0, 5}},
    {67, "Bars from both sides", RevealBars, {1, 0, 0, 3}},
    {68, "Uneven shred from right", RevealShred, {1, 0, 0, 1}},
    {69, "Uneven shred from left", RevealShred, {1, 0, 0, 2}},
    {70, "Uneven shred out from middle (horiz)", RevealShred, {1, 0, 0, 3}},
    {71, "Uneven shred in to middle (horiz)", RevealShred, {1, 0, 0, 4}},
    {72, "Curved Reveal from top", CurvedRevealFromTop},
    {73, "Curved Reveal from bottom", CurvedRevealFromBottom},
    {74, "Bars from bottom", RevealBars, {0, 2, 1, 0}},
    {75, "Bars from top", RevealBars, {0, 2, 2, 0}},
    {76, "Bars top then bottom", RevealBars, {0, 2, 4, 0}},
    {77, "Bars bottom then top", RevealBars, {0, 2, 5, 0}},
    {78, "Bars from top and bottom", RevealBars, {0, 1, 3, 0}},
    {79, "Uneven shred from bottom", RevealShred, {0, 1, 1, 0}},
    {80, "Uneven shred from top", RevealShred, {0, 1, 2, 0}},
    {81, "Uneven shred from horizon", RevealShred, {0, 1, 3, 0}},
    {82, "Uneven shred in to horizon", RevealShred, {0, 1, 4, 0}},
    {83, "Curved reveal from top left", CurvedRevealFromTopLeft},
    {84, "Curved reveal from top right", CurvedRevealFromTopRight},
    {85, "Curved reveal from bottom left", CurvedRevealFromBottomLeft},
    {86, "Curved reveal from bottom right", CurvedRevealFromBottomRight},
    {87, "Elliptic reveal out from centre", EllipticRevealOutFromCentre},
    {88, "Elliptic reveal in to centre", EllipticRevealInToCentre},
    {89, "Criss Cross from bottom right", RevealBars, {2, 2, 1, 1}},
    {90, "Criss Cross from top right", RevealBars, {2, 2, 2, 1}},
    {91, "Criss Cross from bottom left", RevealBars, {2, 2, 1, 2}},
    {92, "Criss Cross from top left", RevealBars, {2, 2, 2, 2}},
    {93, "Criss Cross bounce from top left", RevealBars, {2, 2, 4, 4}},
    {94, "Criss Cross bounce from bottom left", RevealBars, {2, 2, 5, 4}},
    {95, "Criss Cross bounce from top right", RevealBars, {2, 2, 4, 5}},
    {96, "Criss Cross bounce from bottom right", RevealBars, {2, 2, 5, 5}},
    {97, "Criss Cross from right top and bottom", RevealBars, {1, 1, 3, 1}},
    {98, "Criss Cross from left top and bottom", RevealBars, {1, 1, 3, 2}},
    {99, "Criss Cross from left right and bottom", RevealBars, {1, 1, 1, 3}},
    {100, "Criss Cross from left right and top", RevealBars, {1, 1, 2, 3}},
    {101, "Criss Cross from top left and bottom", RevealBars, {1, 1, 3, 3}},
    {102, "Criss Cross from bottom left top right", CrissCrossFromBottomLeftTopRight},
    {103, "Uneven shred from bottom and right", RevealShred, {1, 1, 1, 1}},
    {104, "Uneven shred from top and right", RevealShred, {1, 1, 2, 1}},
    {105, "Uneven shred from bottom and left", RevealShred, {1, 1, 1, 2}},
    {106, "Uneven shred from top and left", RevealShred, {1, 1, 2, 2}},
    {107, "Uneven shred from horiz and right", RevealShred, {1, 1, 3, 1}},
    {108, "Uneven shred from horiz and left", RevealShred, {1, 1, 3, 2}},
    {109, "Uneven shred from bottom and vert middle", RevealShred, {1, 1, 1, 3}},
    {110, "Uneven shred from top and vert middle", RevealShred, {1, 1, 2, 3}},
    {111, "Uneven shred from centre", RevealShred, {1, 1, 3, 3}},
    {112, "Uneven shred to centre", RevealShred, {1, 1, 4, 4}},
    {113, "Reveal diagonal from top left", RevealDiagonalFromTopLeft},
    {114, "Reveal diagonal from top right", RevealDiagonalFromTopRight},
    {115, "Reveal diagonal from bottom left", RevealDiagonalFromBottomLeft},
    {116, "Reveal diagonal from bottom right", RevealDiagonalFromBottomRight},
    {117, "Diagonal sweep anticlockwise", DiagonalSweepAnticlockwise},
    {118, "Diagonal sweep clockwise", DiagonalSweepClockwise},
    {119, "Starburst clockwise from center", StarburstClockwiseFromCenter},
    {120, "Triangular shred", TriangularShred},
    {121, "Pivot from top left", Pivot, {0, 0}},
    {122, "Pivot from bottom left", Pivot, {0, 1}},
    {123, "Pivot from top right", Pivot, {1, 0}},
    {124, "Pivot from bottom right", Pivot, {1, 1}},
    {125, "Speckle appear from right", RevealSpeckle, {1, 1, 0, 1}},
    {126, "Speckle appear from left", RevealSpeckle, {1, 1, 0, 2}},
    {127, "Speckle appear from bottom", RevealSpeckle, {1, 1, 1, 0}},
    {128, "Speckle appear from top", RevealSpeckle, {1, 1, 2, 0}},
    {129, "Random squares appear", RandomSquaresAppear},
    {130, "Push right", PushRight},
    {131, "Push left", PushLeft},
    {132, "Push and squeeze right", PushAndSqueezeRight},
    {133, "Push and squeeze left", PushAndSqueezeLeft},
    {134, "Push down", PushDown},
    {135, "Push up", PushUp},
    {136, "Push and sqeeze down", PushAndSqueezeDown},
    {137, "Push and sqeeze up", PushAndSqueezeUp},
    {138, "Blind vertically", BlindVertically},
    {139, "Blind horizontally", BlindHorizontally},
    {140, "Uneven blind from left", UnevenBlindFromLeft},
    {141, "Uneven blind from right", UnevenBlindFromRight},
    {142, "Uneven blind from top", UnevenBlindFromTop},
    {143, "Uneven blind from bottom", UnevenBlindFromBottom},
    {144, "Rectangular shred", RectangularShred},
    {145, "Rectangles from left to right", RectanglesAcross, {0}},
    {146, "Rectangles from right to left", RectanglesAcross, {1}},
    {147, "Rectangles from up to bottom", RectanglesDown, {0}},
    {148, "Rectangles from bottom to up", RectanglesDown, {1}},
    {149, "Rotational rectangle in center", RotationalRectangleInCenter},
    {150, "Rotational star in center", RotationalStarInCenter},
    {151, "Spiral rectangle", SpiralRectangle},
    {152, "Circular shred", CircularShred},
    {153, "Reveal V from left", RevealVFromLeft},
    {154, "Reveal V from right", RevealVFromRight},
    {155, "Reveal V from top", RevealVFromTop},
    {156, "Reveal V from bottom", RevealVFromBottom},
    {157, "Bow Tie Horizontal", BowTieHorizontal},
    {158, "Bow Tie Vertical", BowTieVertical},
    {159, "Diagonal Cross In", DiagonalCrossIn},
    {160, "Diagonal Cross Out", DiagonalCrossOut},
    {161, "Starburst anticlockwise from center", StarburstAnticlockwiseFromCenter},
    {162, "Zigzag Horizontal", ZigzagHorizontal},
    {163, "Zigzag Vertical", ZigzagVertical},
    {164, "Diamond shred", DiamondShred},
    {165, "Reveal diamond out from centre", RevealDiamondOutFromCentre},
    {166, "Reveal diamond in to centre", RevealDiamondInToCentre},
    {167, "Diagonal Box Out", DiagonalBoxOut},
    {168, "Random Bars Horizontal", RandomBarsHorizontal},
    {169, "Random Bars Vertical", RandomBarsVertical},
};

static_assert(std::size(kEffectTable) == kEffectCount, "the table holds exactly 169 effects");
static_assert(
    [] {
      for (size_t i = 0; i < std::size(kEffectTable); ++i)
        if (kEffectTable[i].number != static_cast<int32_t>(i + 1)) return false;
      return true;
    }(),
    "entry i holds effect number i + 1");
// That every entry has a routine is checked by the table's tests: comparing function
// addresses is not a constant expression in the sanitizer builds.

}  // namespace

std::span<const Effect> EffectTable() {
  return kEffectTable;
}

const Effect& EffectByNumber(int32_t n) {
  if (n < 1 || n > kEffectCount) n = 1;
  return kEffectTable[n - 1];
}

std::vector<Effect> EffectsDrawnBy(std::span<const EffectRoutine> routines) {
  std::vector<Effect> rows;
  for (const Effect& e : kEffectTable)
    if (std::find(routines.begin(), routines.end(), e.routine) != routines.end()) rows.push_back(e);
  return rows;
}

Extents ProgressExtents(int32_t W, int32_t H, int32_t percent) {
  Extents e{0, 0};
  if (W >= H) {
    e.w = MulDiv(W, percent, 100);
    // A 0 x 0 picture has no aspect; MulDiv would report the division by zero as -1.
    e.h = W == 0 ? 0 : MulDiv(e.w, H, W);
  } else {
    e.h = MulDiv(H, percent, 100);
    e.w = MulDiv(e.h, W, H);
  }
  return e;
}

}  // namespace vec
