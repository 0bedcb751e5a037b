#include <gtest/gtest.h>

#include "base/Ini.h"

namespace vec {
namespace {

TEST(Ini, IntegersAreDecimalWithOptionalSign) {
  struct Case {
    const char* text;
    std::optional<int32_t> want;
  } cases[] = {{"12", 12},
               {" -7 ", -7},
               {"+3", 3},
               {"yes", std::nullopt},
               {"", std::nullopt},
               {"0x10", std::nullopt},
               {"$10", std::nullopt},
               {"1.5", std::nullopt},
               {"2147483647", 2147483647},
               {"2147483648", std::nullopt},
               {"-2147483648", -2147483647 - 1},
               {"-", std::nullopt},
               {"12a", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.text), c.want) << c.text;
}

TEST(Ini, ProfileSemantics) {
  auto doc = IniDocument::FromText(
      "[General]\r\n ProductName = Sea Waves \r\nproductname=Second\r\n"
      "[DEFAULT]\r\nStretch=yes\r\nDuration=45\r\nQuoted=\"a b\"\r\n"
      "[default]\r\nDuration=99\r\n[Empty]\r\n");
  EXPECT_EQ(doc.ReadString("general", "PRODUCTNAME", "x"), "Sea Waves");
  EXPECT_TRUE(doc.ReadBool("Default", "Stretch", true));
  EXPECT_FALSE(doc.ReadBool("Default", "Stretch", false));
  EXPECT_EQ(doc.ReadInteger("default", "duration", 30), 45);  // first section wins
  EXPECT_EQ(doc.ReadString("Default", "Quoted", ""), "a b");
  EXPECT_EQ(doc.ReadInteger("Default", "Missing", 30), 30);
  EXPECT_TRUE(doc.HasSection("empty"));
  EXPECT_TRUE(doc.SectionKeys("Empty").empty());
  EXPECT_EQ(doc.SectionKeys("General"), (std::vector<std::string>{"ProductName", "productname"}));
}

TEST(Ini, WritingKeepsOtherLinesAsTheyWere) {
  const char* text =
      "; comment\r\n[Setting]\r\nSpeed = 10\r\nOther=  kept  \r\n\r\n[Files]\r\n3=\r\n";
  auto doc = IniDocument::FromText(text);
  doc.WriteInteger("setting", "speed", 12);
  doc.WriteBool("Setting", "Sound", false);
  doc.EraseSection("FILES");
  doc.WriteString("Files", "1", "");
  EXPECT_EQ(
      doc.ToText(),
      "; comment\r\n[Setting]\r\nspeed=12\r\nOther=  kept  \r\nSound=0\r\n\r\n[Files]\r\n1=\r\n");
}

TEST(Ini, KeysWithoutValuesAreListedButHaveNoValue) {
  auto doc = IniDocument::FromText("[MusicList]\n/home/u/a b.mp3=\nbare line\n");
  EXPECT_EQ(doc.SectionKeys("MusicList"),
            (std::vector<std::string>{"/home/u/a b.mp3", "bare line"}));
  EXPECT_EQ(doc.Value("MusicList", "bare line"), std::nullopt);
  EXPECT_EQ(doc.ToText(), "[MusicList]\n/home/u/a b.mp3=\nbare line\n");
}

}  // namespace
}  // namespace vec
