// Fonts of form texts resolved against the inherited font.

#include <gtest/gtest.h>

#include "configui/FormFonts.h"
#include "configui/FormTextReader.h"

namespace vec {
namespace {

FormObject Read(const std::string& body) {
  auto read = ReadFormText("object L: TLabel\n" + body + "end\n");
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message);
  return read.ok() ? read.release_value() : FormObject{};
}

struct FontCase {
  const char* text;
  int pixelSize;
  int pointSize;
  bool bold, italic, underline, strikeOut;
};

// Catches a negative Height taken as points, a positive one as pixels, Size read as
// pixels, the later of Height and Size not winning, and style members mixed up.
TEST(FormFonts, HeightSizeAndStyle) {
  const FontCase cases[] = {
      {"", 11, 0, false, false, false, false},
      {"Font.Height = -16\n", 16, 0, false, false, false, false},
      {"Font.Height = 16\n", 0, 12, false, false, false, false},
      {"Font.Size = 10\n", 0, 10, false, false, false, false},
      {"Font.Size = 10\nFont.Height = -13\n", 13, 0, false, false, false, false},
      {"Font.Height = -13\nFont.Size = 9\n", 0, 9, false, false, false, false},
      {"Font.Style = [fsBold, fsItalic]\n", 11, 0, true, true, false, false},
      {"Font.Style = [fsUnderline, fsStrikeOut]\n", 11, 0, false, false, true, true},
      {"Font.Height = -99999\n", 1000, 0, false, false, false, false},
  };
  for (const auto& c : cases) {
    FormFont f = ResolveFormFont(Read(c.text), FormFont{});
    EXPECT_EQ(f.pixelSize, c.pixelSize) << c.text;
    EXPECT_EQ(f.pointSize, c.pointSize) << c.text;
    EXPECT_EQ(f.bold, c.bold) << c.text;
    EXPECT_EQ(f.italic, c.italic) << c.text;
    EXPECT_EQ(f.underline, c.underline) << c.text;
    EXPECT_EQ(f.strikeOut, c.strikeOut) << c.text;
  }
}

// Catches a control losing the inherited face or colour when it sets only its style, and
// a Style set that adds to the inherited style instead of replacing it.
TEST(FormFonts, InheritsWhatItDoesNotSet) {
  FormFont parent;
  parent.family = "Tahoma";
  parent.bold = true;
  parent.color = *FormColorFromName("clNavy");
  FormFont f = ResolveFormFont(Read("Font.Style = [fsItalic]\n"), parent);
  EXPECT_EQ(f.family, "Tahoma");
  EXPECT_FALSE(f.bold);
  EXPECT_TRUE(f.italic);
  EXPECT_EQ(f.color.argb, 0xFF000080u);

  FormFont g = ResolveFormFont(
      Read("Font.Charset = ANSI_CHARSET\nFont.Color = 255\nFont.Name = 'Arial'\n"), parent);
  EXPECT_EQ(g.family, "Arial");
  EXPECT_EQ(g.color.argb, 0xFFFF0000u);
  EXPECT_TRUE(g.bold);
}

TEST(FormFonts, DefaultIsMsSansSerifElevenPixels) {
  FormFont f;
  EXPECT_EQ(f.family, "MS Sans Serif");
  EXPECT_EQ(f.pixelSize, 11);
  EXPECT_TRUE(f.color.isSystem);
}

}  // namespace
}  // namespace vec
