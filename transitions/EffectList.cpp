#include "transitions/EffectList.h"

#include <charconv>

#include "base/CommaText.h"
#include "base/Random.h"
#include "transitions/Effect.h"

namespace vec {

EffectList BuildEffectList(std::string_view transitionEffects) {
  EffectList list = SplitCommaText(transitionEffects);
  if (list.empty()) list.emplace_back("1");
  return list;
}

std::optional<int32_t> ParseEffectItem(std::string_view item) {
  // from_chars takes a minus sign but not a plus sign.
  if (!item.empty() && item.front() == '+') {
    item.remove_prefix(1);
    if (!item.empty() && item.front() == '-') return std::nullopt;
  }
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value, 10);
  if (ec != std::errc() || end != item.data() + item.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> ChooseEffect(const EffectList& list) {
  if (list.empty()) return 1;
  const auto index = static_cast<size_t>(Random(static_cast<int32_t>(list.size())));
  const std::optional<int32_t> n = ParseEffectItem(list[index]);
  if (!n) return std::nullopt;
  return (*n >= 1 && *n <= kEffectCount) ? *n : 1;
}

}  // namespace vec
