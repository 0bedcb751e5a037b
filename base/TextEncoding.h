#pragma once
// Texts stored by the authoring side are Windows-1252; the user interface wants UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace vec {

std::string Cp1252ToUtf8(std::string_view text);
// Appends one Unicode code point (below 0x110000) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);
// Characters outside Windows-1252 become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace vec
