#include "configui/Placeholders.h"

#include "base/TextLines.h"

namespace vec {
namespace {

std::string DoubleApostrophes(std::string_view value) {
  std::string out;
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

void ReplaceAll(std::string& text, std::string_view marker, const std::string& value) {
  size_t pos = 0;
  while ((pos = text.find(marker, pos)) != std::string::npos) {
    text.replace(pos, marker.size(), value);
    pos += value.size();  // the value itself is not searched for this marker again
  }
}

}  // namespace

std::string ReplacePlaceholders(std::string_view text, const PlaceholderValues& values) {
  std::string out(text);
  ReplaceAll(out, "<ScreensaverName>", DoubleApostrophes(values.productName));
  ReplaceAll(out, "<CompanyName>", DoubleApostrophes(values.publisher));
  ReplaceAll(out, "<Website>", DoubleApostrophes(values.website));
  return out;
}

std::string PrepareActionParameter(std::string_view parameter, const PlaceholderValues& values) {
  std::string out;
  for (const std::string& line : SplitLines(parameter))
    out += ReplacePlaceholders(line, values) + "\r\n";
  return out;
}

}  // namespace vec
