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

// Sections are found through an index of their first headers: every change that moves lines
// (a key inserted before a later section, a section erased, a key line that reads as a header)
// must leave reads finding the right lines.
TEST(Ini, ReadsFollowLinesMovedByWrites) {
  auto doc = IniDocument::FromText(
      "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\nonly=in second A\r\n[C]\r\nk=4\r\n");
  doc.WriteInteger("A", "new", 5);  // inserted inside the first A: B, a and C move down
  EXPECT_EQ(doc.ReadInteger("B", "k", 0), 2);
  EXPECT_EQ(doc.ReadInteger("C", "k", 0), 4);
  EXPECT_EQ(doc.ReadInteger("A", "new", 0), 5);
  EXPECT_EQ(doc.ReadString("A", "only", "-"), "-");  // the second [a] is never read
  doc.AppendKey("b", "K", "6");
  EXPECT_EQ(doc.ReadInteger("C", "k", 0), 4);
  EXPECT_EQ(doc.SectionKeys("B"), (std::vector<std::string>{"k", "K"}));
  doc.EraseSection("A");  // both A sections go; B and C move up
  EXPECT_FALSE(doc.HasSection("a"));
  EXPECT_EQ(doc.ReadInteger("C", "k", 0), 4);
  EXPECT_EQ(doc.ReadInteger("B", "k", 0), 2);
  doc.WriteString("D", "x", "7");  // a new section at the end
  EXPECT_EQ(doc.ReadInteger("d", "X", 0), 7);
  doc.WriteString("C", "[E]", "8");  // a key whose line reads as a header: it starts section E
  EXPECT_TRUE(doc.HasSection("E"));
  EXPECT_EQ(doc.SectionKeys("C"), (std::vector<std::string>{"k"}));
  EXPECT_EQ(doc.ToText(), "[B]\r\nk=2\r\nK=6\r\n[C]\r\nk=4\r\n[E]=8\r\n[D]\r\nx=7\r\n");
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
