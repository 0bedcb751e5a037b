#pragma once
// Sliding and stretching wipes: each frame is one to four rectangular copies from New onto
// Work (plain, or stretched with whole pixels dropped or repeated), placed by the progress
// extents. The push members also move Work's own pixels.

#include "transitions/Effect.h"

namespace vec {

TEffectFn ExpandFromRight, ExpandFromLeft, SlideInFromRight, SlideInFromLeft, RevealFromLeft,
    RevealFromRight, ExpandInFromRight, ExpandInFromLeft, ExpandInToMiddle, ExpandOutFromMiddle,
    RevealOutFromMiddle, RevealInFromSides, ExpandInFromSides, UnrollFromLeft, UnrollFromRight,
    BuildUpFromRight, BuildUpFromLeft;
TEffectFn ExpandFromBottom, ExpandFromTop, SlideInFromBottom, SlideInFromTop, RevealFromTop,
    RevealFromBottom, ExpandInFromBottom, ExpandInFromTop, ExpandInToMiddleHoriz,
    ExpandOutFromMiddleHoriz, RevealFromMiddleHoriz, SlideInFromTopBottom, ExpandInFromTopBottom,
    UnrollFromTop, UnrollFromBottom, ExpandGraduallyFromBottom, ExpandInGraduallyFromTop;
TEffectFn ExpandFromBottomRight, ExpandFromTopRight, ExpandFromTopLeft, ExpandFromBottomLeft,
    SlideInFromBottomRight, SlideInFromTopRight, SlideInFromTopLeft, SlideInFromBottomLeft,
    RevealFromTopLeft, RevealFromBottomLeft, RevealFromBottomRight, RevealFromTopRight,
    AppearAndContractToTopLeft, AppearAndContractToBottomLeft, AppearAndContractToBottomRight,
    AppearAndContractToTopRight, AppearAndContractToMiddle, ExpandOutFromCentre,
    RevealOutFromCentre, RevealInToCentre, QuartersRevealInToMiddle, QuartersExpandToMiddle,
    QuartersSlideInToMiddle;
TEffectFn PushRight, PushLeft, PushAndSqueezeRight, PushAndSqueezeLeft, PushDown, PushUp,
    PushAndSqueezeDown, PushAndSqueezeUp;

// Width of the roll of the unroll effects: a tenth of the side, no more than `extent`, and no
// more than half of side - extent. Unroll from left, top and bottom pass the unrolled extent
// (w or h); unroll from right passes W - w, the room left of the roll.
int32_t RollWidth(int32_t side, int32_t extent);

}  // namespace vec
