#pragma once
// The effects a show may use, as the saver's TransitionEffects setting lists them, and the
// choice of one effect per transition.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vec {

using EffectList = std::vector<std::string>;

// The setting split as comma text; a setting that yields no item allows "Fade" alone ("1").
EffectList BuildEffectList(std::string_view transitionEffects);

// An item read as a decimal integer (optional sign, digits, nothing else); nullopt when the
// item is not one or does not fit 32 bits.
std::optional<int32_t> ParseEffectItem(std::string_view item);

// Draws one entry with Random(count) (so a number listed twice is twice as likely) and reads
// it. A number outside 1..169 falls back to effect 1; an item that is not an integer gives
// nullopt, an error for this transition. An empty list gives effect 1 without drawing.
std::optional<int32_t> ChooseEffect(const EffectList& list);

}  // namespace vec
