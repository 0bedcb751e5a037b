#pragma once
// The comma-text split used by list settings such as the allowed transition effects.

#include <string>
#include <string_view>
#include <vector>

namespace vec {

// Items separated by commas or blanks (characters 1..32); an item starting with a double
// quote runs to the closing quote, a doubled quote standing for one. "1,,5" gives
// "1", "", "5"; a trailing comma adds an empty item.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace vec
