#pragma once
// Sliding and stretching wipes: each frame is one to four rectangular copies from New onto
// Work (plain, or stretched with whole pixels dropped or repeated), placed by the progress
// extents. The push members also move Work's own pixels.

#include "transitions/Effect.h"

namespace vec {

EffectFn ExpandFromRight, ExpandFromLeft, SlideInFromRight, SlideInFromLeft, RevealFromLeft,
    RevealFromRight, ExpandInFromRight, ExpandInFromLeft, ExpandInToMiddle, ExpandOutFromMiddle,
    RevealOutFromMiddle, RevealInFromSides, ExpandInFromSides, UnrollFromLeft, UnrollFromRight,
    BuildUpFromRight, BuildUpFromLeft;
EffectFn ExpandFromBottom, ExpandFromTop, SlideInFromBottom, SlideInFromTop, RevealFromTop,
    RevealFromBottom, ExpandInFromBottom, ExpandInFromTop, ExpandInToMiddleHoriz,
    ExpandOutFromMiddleHoriz, RevealFromMiddleHoriz, SlideInFromTopBottom, ExpandInFromTopBottom,
    UnrollFromTop, UnrollFromBottom, ExpandGraduallyFromBottom, ExpandInGraduallyFromTop;
EffectFn ExpandFromBottomRight, ExpandFromTopRight, ExpandFromTopLeft, ExpandFromBottomLeft,
    SlideInFromBottomRight, SlideInFromTopRight, SlideInFromTopLeft, SlideInFromBottomLeft,
    RevealFromTopLeft, RevealFromBottomLeft, RevealFromBottomRight, RevealFromTopRight,
    AppearAndContractToTopLeft, AppearAndContractToBottomLeft, AppearAndContractToBottomRight,
    AppearAndContractToTopRight, AppearAndContractToMiddle, ExpandOutFromCentre,
    RevealOutFromCentre, RevealInToCentre, QuartersRevealInToMiddle, QuartersExpandToMiddle,
    QuartersSlideInToMiddle;
EffectFn PushRight, PushLeft, PushAndSqueezeRight, PushAndSqueezeLeft, PushDown, PushUp,
    PushAndSqueezeDown, PushAndSqueezeUp;

// Width of the roll of the horizontal unroll effects (height for the vertical ones, called
// with H and h): a tenth of the side, no more than what has unrolled, and no more than half
// of what is still to come.
int32_t RollWidth(int32_t side, int32_t extent);

}  // namespace vec
