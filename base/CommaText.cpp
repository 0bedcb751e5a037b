#include "base/CommaText.h"

namespace vec {
namespace {
bool IsSpace(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}
}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  // The text is read as a C string: it ends at a NUL (which would otherwise never be consumed).
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> items;
  size_t i = 0, n = text.size();
  auto skip_spaces = [&] {
    while (i < n && IsSpace(text[i])) ++i;
  };
  skip_spaces();
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i<n&& static_cast<unsigned char>(text[i])> 32 && text[i] != ',') item += text[i++];
    }
    items.push_back(std::move(item));
    skip_spaces();
    if (i < n && text[i] == ',') {
      if (i == n - 1) items.emplace_back();
      ++i;
      skip_spaces();
    }
  }
  return items;
}

}  // namespace vec
