#pragma once
// Sliding and stretching wipes: each frame is one to four rectangular copies from New onto
// Work (plain, or stretched with whole pixels dropped or repeated), placed by the progress
// extents. The push members also move Old's pixels.

#include <cstdint>
#include <span>

#include "transitions/Effect.h"

namespace vec {

// How a block family places its block on one axis: across the whole side, growing from
// the near edge (left or top), from the far edge (right or bottom), or out of the middle.
enum class Placement : int32_t { Whole, Near, Far, Middle };

// The arguments of the block families: {x placement, y placement}.
constexpr EffectArgs Placed(Placement x, Placement y) {
  return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

// All of New stretched into the growing block ("Expand from ..." and "Expand out from ...").
void StretchIntoBlock(const EffectFrame& frame, const EffectArgs& args);
// New's own pixels inside the growing block ("Reveal from ..." and "Reveal out from ...").
void RevealBlock(const EffectFrame& frame, const EffectArgs& args);
// All of New moved in, unscaled, from the side its placement names; Middle does not slide.
void SlideIn(const EffectFrame& frame, const EffectArgs& args);
// New's block of the progress extents stretched over more than the screen, shrinking onto
// the near edge, the far edge or both ("Expand in ..." and "Appear and Contract to ...").
void ShrinkOntoScreen(const EffectFrame& frame, const EffectArgs& args);

EffectFn RevealInFromSides, ExpandInFromSides, UnrollFromLeft, UnrollFromRight, BuildUpFromRight,
    BuildUpFromLeft;
EffectFn SlideInFromTopBottom, ExpandInFromTopBottom, UnrollFromTop, UnrollFromBottom,
    ExpandGraduallyFromBottom, ExpandInGraduallyFromTop;
EffectFn RevealInToCentre, QuartersRevealInToMiddle, QuartersExpandToMiddle,
    QuartersSlideInToMiddle;
EffectFn PushRight, PushLeft, PushAndSqueezeRight, PushAndSqueezeLeft, PushDown, PushUp,
    PushAndSqueezeDown, PushAndSqueezeUp;

// Width of the roll of the horizontal unroll effects (height for the vertical ones, called
// with H and h): a tenth of the side, no more than what has unrolled, and no more than half
// of what is still to come.
int32_t RollWidth(int32_t side, int32_t extent);

// The routines above, all of which, given Old in the frame, write it themselves outside
// the blocks they fill with New (see WritesOldItself).
std::span<const EffectRoutine> WipeRoutinesWritingOld();

}  // namespace vec
