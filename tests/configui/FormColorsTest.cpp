// Colours of form texts: names, $00BBGGRR numbers and system colours.

#include <gtest/gtest.h>

#include "configui/FormColors.h"
#include "configui/FormTextReader.h"

namespace vec {
namespace {

struct NamedCase {
  const char* name;
  uint32_t argb;
};

// Catches a swapped red and blue byte (clMaroon and clNavy would trade places) and a
// missing opaque alpha.
TEST(FormColors, StandardNamesGiveRgb) {
  const NamedCase cases[] = {
      {"clBlack", 0xFF000000}, {"clMaroon", 0xFF800000},  {"clGreen", 0xFF008000},
      {"clOlive", 0xFF808000}, {"clNavy", 0xFF000080},    {"clPurple", 0xFF800080},
      {"clTeal", 0xFF008080},  {"clGray", 0xFF808080},    {"clSilver", 0xFFC0C0C0},
      {"clRed", 0xFFFF0000},   {"clLime", 0xFF00FF00},    {"clYellow", 0xFFFFFF00},
      {"clBlue", 0xFF0000FF},  {"clFuchsia", 0xFFFF00FF}, {"clAqua", 0xFF00FFFF},
      {"clWhite", 0xFFFFFFFF}, {"CLRED", 0xFFFF0000},
  };
  for (const auto& c : cases) {
    auto color = FormColorFromName(c.name);
    ASSERT_TRUE(color) << c.name;
    EXPECT_EQ(color->argb, c.argb) << c.name;
    EXPECT_FALSE(color->isSystem) << c.name;
  }
}

struct NumberCase {
  int64_t number;
  uint32_t argb;
  bool system;
  PaletteRole role;
};

// $00BBGGRR: 255 is red, $FF0000 blue; $FF00000F and $8000000F are clBtnFace (index 15),
// $FF000005 clWindow. Catches reading the number as RRGGBB and an off-by-one in the
// system table.
TEST(FormColors, NumbersAreBlueGreenRed) {
  const NumberCase cases[] = {
      {0x0000FF, 0xFFFF0000, false, PaletteRole::None},
      {0xFF0000, 0xFF0000FF, false, PaletteRole::None},
      {0x00FF00, 0xFF00FF00, false, PaletteRole::None},
      {0xF0E6DC, 0xFFDCE6F0, false, PaletteRole::None},
      {-16777201, 0xFFC0C0C0, true, PaletteRole::Button},
      {0x8000000F, 0xFFC0C0C0, true, PaletteRole::Button},
      {0xFF000005, 0xFFFFFFFF, true, PaletteRole::Base},
      {0xFF000008, 0xFF000000, true, PaletteRole::Text},
      {0xFF00000D, 0xFF000080, true, PaletteRole::Highlight},
      {0xFF000018, 0xFFFFFFE1, true, PaletteRole::ToolTipBase},
  };
  for (const auto& c : cases) {
    auto color = FormColorFromNumber(c.number);
    ASSERT_TRUE(color) << std::hex << c.number;
    EXPECT_EQ(color->argb, c.argb) << std::hex << c.number;
    EXPECT_EQ(color->isSystem, c.system) << std::hex << c.number;
    EXPECT_EQ(color->role, c.role) << std::hex << c.number;
  }
}

TEST(FormColors, SystemNamesMatchTheirNumbers) {
  const char* names[] = {"clScrollBar", "clBackground", "clWindow",  "clWindowText",
                         "clHighlight", "clBtnFace",    "clBtnText", "clInfoBk"};
  const int64_t numbers[] = {0xFF000000, 0xFF000001, 0xFF000005, 0xFF000008,
                             0xFF00000D, 0xFF00000F, 0xFF000012, 0xFF000018};
  for (size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(FormColorFromName(names[i]), FormColorFromNumber(numbers[i])) << names[i];
}

TEST(FormColors, NoColourAndBadNumbersAreRejected) {
  EXPECT_FALSE(FormColorFromName("clNone"));
  EXPECT_FALSE(FormColorFromName("clDefault"));
  EXPECT_FALSE(FormColorFromName("clSomething"));
  EXPECT_FALSE(FormColorFromNumber(0x1FFFFFFF));        // clNone
  EXPECT_FALSE(FormColorFromNumber(0x20000000));        // clDefault
  EXPECT_FALSE(FormColorFromNumber(0xFF000019));        // past the last system colour
  EXPECT_FALSE(FormColorFromNumber(int64_t{1} << 40));  // not 32 bits
}

TEST(FormColors, ValuesByKind) {
  FormValue number{int64_t{255}};
  FormValue name{FormIdentifier{"clLime"}};
  FormValue text{std::string("clRed")};
  EXPECT_EQ(FormColorFromValue(number)->argb, 0xFFFF0000u);
  EXPECT_EQ(FormColorFromValue(name)->argb, 0xFF00FF00u);
  EXPECT_FALSE(FormColorFromValue(text));
}

}  // namespace
}  // namespace vec
