#include <gtest/gtest.h>

#include "base/Ini.h"
#include "configui/ConfigWindowSettings.h"
#include "configui/Placeholders.h"
#include "configui/SettingsAccess.h"

namespace vec {
namespace {

// Catches a marker replaced with the wrong value, only its first occurrence replaced, a
// case-blind match, and apostrophes left single (the form reader would end the string).
TEST(Placeholders, EachMarkerEverywhereWithApostrophesDoubled) {
  const PlaceholderValues v{"Bob's Sea", "Cove Co", "http://cove.example/"};
  struct Case {
    const char* text;
    const char* want;
  } cases[] = {
      {"<ScreensaverName> by <CompanyName>", "Bob''s Sea by Cove Co"},
      {"<Website><Website>", "http://cove.example/http://cove.example/"},
      {"<screensavername>", "<screensavername>"},
      {"no markers", "no markers"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplacePlaceholders(c.text, v), c.want) << c.text;
}

// The markers are replaced one after the other in the order product name, company,
// website: a product name that holds "<Website>" is expanded by the later pass, while a
// website that holds "<ScreensaverName>" is not. Catches a different order.
TEST(Placeholders, MarkersAreReplacedInTheirFixedOrder) {
  EXPECT_EQ(ReplacePlaceholders("<ScreensaverName>", {"<Website>", "", "site"}), "site");
  EXPECT_EQ(ReplacePlaceholders("<Website>", {"Sea", "", "<ScreensaverName>"}),
            "<ScreensaverName>");
}

// The parameter of an action gets CR LF after every line; an empty one stays empty. Catches
// a missing final line break and lines joined without one.
TEST(Placeholders, ActionParametersEndEveryLineWithCrLf) {
  const PlaceholderValues v{"Sea", "Co", "http://x/"};
  EXPECT_EQ(PrepareActionParameter("<Website>", v), "http://x/\r\n");
  EXPECT_EQ(PrepareActionParameter("About\r\n<ScreensaverName>", v), "About\r\nSea\r\n");
  EXPECT_EQ(PrepareActionParameter("a\nb\r", v), "a\r\nb\r\n");
  EXPECT_EQ(PrepareActionParameter("", v), "");
  EXPECT_EQ(PrepareActionParameter(" ", v), " \r\n");
}

// Past the last picture clamps to the last; below zero to zero; no pictures give 0.
TEST(ConfigWindowSettings, PictureIndexClamps) {
  struct Case {
    int32_t index, count, want;
  } cases[] = {{5, 5, 4}, {4, 5, 4}, {-1, 5, 0}, {0, 0, 0}, {3, 0, 0}, {2, 5, 2}};
  for (const Case& c : cases) EXPECT_EQ(ClampPictureIndex(c.index, c.count), c.want);
}

// Index 5 with five pictures is kept (the selection clamps it to 4 later); 6 gives 0.
// Catches >= where > is meant.
TEST(ConfigWindowSettings, StartIndexAboveTheCountGivesZero) {
  struct Case {
    const char* file;
    int32_t want;
  } cases[] = {{"[Setting]\r\nIndex=5\r\n", 5},
               {"[Setting]\r\nIndex=6\r\n", 0},
               {"[Setting]\r\nIndex=2\r\n", 2},
               {"[Setting]\r\nIndex=two\r\n", 0},
               {"", 0}};
  for (const Case& c : cases)
    EXPECT_EQ(ReadStartIndex(IniDocument::FromText(c.file), 5), c.want) << c.file;
  EXPECT_EQ(
      ClampPictureIndex(ReadStartIndex(IniDocument::FromText("[Setting]\r\nIndex=5\r\n"), 5), 5),
      4);
}

// Keys "2" and "7" uncheck pictures 2 and 7 only; "02", "+2" and " x" name no picture.
TEST(ConfigWindowSettings, FavouritesFromTheFilesKeys) {
  const IniDocument user =
      IniDocument::FromText("[Files]\r\n2=\r\n7=\r\n02=\r\n+3=\r\nx=\r\n12=\r\n");
  const std::vector<bool> ticked = ReadFavourites(user, 9);
  const std::vector<bool> want = {true, true, false, true, true, true, true, false, true};
  EXPECT_EQ(ticked, want);
  EXPECT_EQ(ReadFavourites(IniDocument(), 3), (std::vector<bool>{true, true, true}));
}

// Writing erases the old section first, then one empty key per unticked picture; reading it
// back gives the same marks. Other sections stay.
TEST(ConfigWindowSettings, FavouritesRoundTripAndReplaceTheOldSection) {
  IniDocument user = IniDocument::FromText("[Setting]\r\nDuration=7\r\n[Files]\r\n1=\r\n");
  const std::vector<bool> ticked = {true, true, false, true, true, true, true, false};
  WriteFavourites(user, ticked);
  WriteCurrentIndex(user, 3);
  EXPECT_EQ(user.SectionKeys("Files"), (std::vector<std::string>{"2", "7"}));
  EXPECT_EQ(ReadFavourites(user, 8), ticked);
  EXPECT_EQ(user.ReadInteger("Setting", "Index", -1), 3);
  EXPECT_EQ(user.ReadInteger("Setting", "Duration", -1), 7);
}

// A .scr file in any case allows access whatever its arguments; another file only with
// "/C" or "/c" exactly, not "/c:1234". The title rule wants "/C" exactly.
TEST(ConfigWindowSettings, SettingsAccessRule) {
  struct Case {
    const char* path;
    const char* argument;
    bool access, title;
  } cases[] = {{"/s/Sea.scr", "", true, true},     {"/s/Sea.SCR", "/c:1234", true, true},
               {"/s/Sea.Scr", "/s", true, true},   {"/s/vecsaver", "/C", true, true},
               {"/s/vecsaver", "/c", true, false}, {"/s/vecsaver", "/c:1234", false, false},
               {"/s/vecsaver", "", false, false},  {"/s/Sea.scr.bak", "", false, false},
               {"scr", "", false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(SettingsAccessAllowed(c.path, c.argument), c.access) << c.path << " " << c.argument;
    EXPECT_EQ(UsesProductNameAsTitle(c.path, c.argument), c.title) << c.path << " " << c.argument;
  }
}

}  // namespace
}  // namespace vec
