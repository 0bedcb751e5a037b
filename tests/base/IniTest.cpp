#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Reading a whole section in one pass gives each key the value a read of that key gives: the
// first line of that name (in any case) that has a value. Catches taking each line's own
// value (B.JPG then b.jpg, d.jpg before D.jpg=1), a case-blind slip, keeping the quotes,
// and reading past the section.
TEST(Ini, SectionEntriesGiveWhatAReadPerKeyGives) {
  const auto doc = IniDocument::FromText(
      "[FileList]\na.jpg=1\nB.JPG=0\nb.jpg=1\nnoequals\n; a comment\nc.jpg=\"1\"\n"
      "Later=\nd.jpg\n  D.jpg = 1\n[Other]\nx=1\n");
  using Entry = std::pair<std::string, std::optional<std::string>>;
  const std::vector<Entry> expected{
      {"a.jpg", "1"}, {"B.JPG", "0"}, {"b.jpg", "0"}, {"noequals", std::nullopt},
      {"c.jpg", "1"}, {"Later", ""},  {"d.jpg", "1"}, {"D.jpg", "1"}};
  std::vector<Entry> got;
  for (const auto& e : doc.SectionEntries("filelist")) got.emplace_back(e.key, e.value);
  EXPECT_EQ(got, expected);
  for (const auto& [key, value] : expected) EXPECT_EQ(doc.Value("FileList", key), value) << key;
  EXPECT_TRUE(doc.SectionEntries("Missing").empty());
}

}  // namespace
}  // namespace vec
