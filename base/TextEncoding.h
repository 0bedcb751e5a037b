#pragma once
// Texts stored by the authoring side are Windows-1252; the user interface wants UTF-8.

#include <string>
#include <string_view>

namespace vec {

std::string Cp1252ToUtf8(std::string_view text);
// Characters outside Windows-1252 become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace vec
