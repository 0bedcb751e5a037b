#pragma once
// JSON output of the package, picture and form commands: keys in the order written, two-space
// indentation, stored Windows-1252 texts converted to UTF-8.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "base/TextEncoding.h"

namespace vectool {

using Json = nlohmann::ordered_json;

// A stored Windows-1252 text as a JSON string.
inline Json Text(std::string_view text) {
  return vec::Cp1252ToUtf8(text);
}

inline Json Texts(const std::vector<std::string>& texts) {
  Json out = Json::array();
  for (const std::string& t : texts) out.push_back(Text(t));
  return out;
}

// The document as printed: indented by two spaces, with a final line break.
inline std::string Printed(const Json& j) {
  return j.dump(2) + "\n";
}

}  // namespace vectool
