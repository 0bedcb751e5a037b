#pragma once
// Splitting a text into lines as a Windows string list does.

#include <string>
#include <string_view>
#include <vector>

namespace vec {

// CR LF, a bare LF or a bare CR each end one line; a final line break does not start
// another (empty) line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vec
