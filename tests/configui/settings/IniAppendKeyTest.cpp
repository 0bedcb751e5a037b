// Adding a key without looking up one of the same name.

#include <gtest/gtest.h>

#include "base/Ini.h"

namespace vec {
namespace {

// Catches a key that differs only in case replacing the earlier one (as WriteString does),
// a key added after the section's trailing blank line, and a missing section not created.
TEST(IniAppendKey, AddsAfterTheSectionsLastKeyWithoutMerging) {
  IniDocument doc = IniDocument::FromText("[List]\n/a.mp3=\n\n[Next]\nk=1\n");
  doc.AppendKey("list", "/A.mp3", "");
  doc.AppendKey("New", "x", "2");
  EXPECT_EQ(doc.ToText(), "[List]\n/a.mp3=\n/A.mp3=\n\n[Next]\nk=1\n[New]\nx=2\n");
  EXPECT_EQ(doc.SectionKeys("List"), (std::vector<std::string>{"/a.mp3", "/A.mp3"}));
}

}  // namespace
}  // namespace vec
