#include <gtest/gtest.h>

#include "base/CommaText.h"
#include "base/TextEncoding.h"

namespace vec {
namespace {

TEST(CommaText, SplitsLikeTheListSetting) {
  using V = std::vector<std::string>;
  struct Case {
    const char* text;
    V want;
  } cases[] = {
      {"1,5, 7", V{"1", "5", "7"}},
      {"1 5", V{"1", "5"}},
      {"1,,5", V{"1", "", "5"}},
      {"1,", V{"1", ""}},
      {"", V{}},
      {"   ", V{}},
      {"\"a,b\",c", V{"a,b", "c"}},
      {"\"say \"\"hi\"\"\"", V{"say \"hi\""}},
      {" 12 , 13 ", V{"12", "13"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.want) << c.text;
}

TEST(TextEncoding, Windows1252RoundTrips) {
  std::string cp = "caf\xE9 \x80 \x93 \x9F";
  std::string utf8 = Cp1252ToUtf8(cp);
  EXPECT_EQ(utf8, "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C \xC5\xB8");
  EXPECT_EQ(Utf8ToCp1252(utf8), cp);
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");
}

}  // namespace
}  // namespace vec
