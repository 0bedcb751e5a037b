#pragma once
// Helpers shared by the definition loader and the form-text reader for names as the
// authoring side stores them: Windows-1252 bytes, compared without regard to case.

#include <cstdint>
#include <string_view>

namespace vec {

// Upper case of one Windows-1252 byte: ASCII letters, the accented letters of the upper
// half (0xE0..0xFE except the division sign) and the four letters of 0x80..0x9F with a
// capital (s and z with caron, the oe ligature) plus y with diaeresis.
constexpr unsigned char UpperCp1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 0x10);
  if (c == 0xFF) return 0x9F;
  return c;
}

constexpr bool SameNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperCp1252(static_cast<unsigned char>(a[i])) !=
        UpperCp1252(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Trims as the authoring side's string trim does: every byte up to the blank (control
// characters, CR and LF included) is removed from both ends.
constexpr std::string_view TrimControlsAndBlanks(std::string_view s) {
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

}  // namespace vec
