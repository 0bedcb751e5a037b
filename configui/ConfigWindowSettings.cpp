#include "configui/ConfigWindowSettings.h"

#include <string>

#include "base/Ini.h"

namespace vec {

int32_t ClampPictureIndex(int32_t index, int32_t pictureCount) {
  if (index >= pictureCount) index = pictureCount - 1;
  if (index < 0) index = 0;
  return index;
}

int32_t ReadStartIndex(const IniDocument& user, int32_t pictureCount) {
  const int32_t index = user.ReadInteger("Setting", "Index", 0);
  return index > pictureCount ? 0 : index;
}

std::vector<bool> ReadFavourites(const IniDocument& user, int32_t pictureCount) {
  std::vector<bool> ticked(static_cast<size_t>(pictureCount > 0 ? pictureCount : 0), true);
  // A key names picture i when it is exactly i in decimal: no sign, no leading zeros.
  for (const std::string& key : user.SectionKeys("Files")) {
    if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) continue;
    if (key.find_first_not_of("0123456789") != std::string::npos) continue;
    const int64_t i = std::stoll(key);
    if (i < pictureCount) ticked[static_cast<size_t>(i)] = false;
  }
  return ticked;
}

void WriteCurrentIndex(IniDocument& user, int32_t index) {
  user.WriteInteger("Setting", "Index", index);
}

void WriteFavourites(IniDocument& user, const std::vector<bool>& ticked) {
  user.EraseSection("Files");
  for (size_t i = 0; i < ticked.size(); ++i)
    if (!ticked[i]) user.WriteString("Files", std::to_string(i), "");
}

}  // namespace vec

namespace vec {
namespace {

bool EndsWithScr(std::string_view path) {
  if (path.size() < 4) return false;
  std::string_view tail = path.substr(path.size() - 4);
  std::string upper;
  for (char c : tail) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return upper == ".SCR";
}

}  // namespace

bool UsesProductNameAsTitle(std::string_view ownPath, std::string_view firstArgument) {
  return EndsWithScr(ownPath) || firstArgument == "/C";
}

}  // namespace vec
