#include <gtest/gtest.h>

#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "base/Random.h"
#include "transitions/BandEffects.h"
#include "transitions/BlendEffects.h"
#include "transitions/Effect.h"
#include "transitions/EffectList.h"
#include "transitions/ShapeEffects.h"

namespace vec {
namespace {

// --- Table ----------------------------------------------------------------------------------

TEST(EffectTable, HoldsAllEffectsNumberedFromOne) {
  ASSERT_EQ(EffectTable().size(), 169u);
  for (int32_t n = 1; n <= 169; ++n) {
    EXPECT_EQ(EffectByNumber(n).number, n);
    EXPECT_EQ(&EffectByNumber(n), &EffectTable()[n - 1]);
  }
}

TEST(EffectTable, NamesAreExactAndDistinct) {
  const std::map<int32_t, std::string> spot = {
      {1, "Fade"},
      {2, "Pixelate"},
      {18, "Unroll from right"},
      {29, "Expand in to middle (horiz)"},
      {32, "Slide in from top / bottom"},
      {55, "Expand out from centre"},
      {119, "Starburst clockwise from center"},
      {136, "Push and sqeeze down"},
      {137, "Push and sqeeze up"},
      {147, "Rectangles from up to bottom"},
      {161, "Starburst anticlockwise from center"},
      {168, "Random Bars Horizontal"},
      {169, "Random Bars Vertical"},
  };
  for (const auto& [n, name] : spot) EXPECT_EQ(EffectByNumber(n).name, name) << n;
  std::set<std::string_view> names;
  for (const Effect& e : EffectTable()) names.insert(e.name);
  EXPECT_EQ(names.size(), 169u);
}

TEST(EffectTable, NumbersOutsideTheTableGiveFade) {
  for (int32_t n : {0, -1, 170, 1000, INT32_MIN, INT32_MAX})
    EXPECT_EQ(&EffectByNumber(n), &EffectByNumber(1)) << n;
}

// A row without a routine would draw nothing (or crash the transition driver).
TEST(EffectTable, EveryEntryHasARoutine) {
  for (const Effect& e : EffectTable()) EXPECT_NE(e.routine, nullptr) << e.number;
}

// --- Rows and their routines ------------------------------------------------------------

// Rows sharing a routine with the same arguments would draw the same effect twice under
// two numbers: a member copied without changing its arguments.
TEST(EffectTable, RowsOfOneRoutineHaveDistinctArguments) {
  std::map<EffectRoutine, std::vector<const Effect*>> byRoutine;
  for (const Effect& e : EffectTable()) byRoutine[e.routine].push_back(&e);
  for (const auto& [routine, rows] : byRoutine) {
    for (size_t i = 0; i < rows.size(); ++i)
      for (size_t j = i + 1; j < rows.size(); ++j)
        EXPECT_NE(rows[i]->args, rows[j]->args)
            << "effects " << rows[i]->number << " and " << rows[j]->number;
  }
}

// A routine that draws a single row ignores its arguments; values there would be a row
// meant for a family routine that names the wrong one.
TEST(EffectTable, RoutinesOfOneRowTakeNoArguments) {
  std::map<EffectRoutine, int> rowsOf;
  for (const Effect& e : EffectTable()) ++rowsOf[e.routine];
  for (const Effect& e : EffectTable()) {
    if (rowsOf[e.routine] == 1) {
      EXPECT_EQ(e.args, EffectArgs{}) << "effect " << e.number;
    }
  }
}

// The band families' arguments stay within what the region builders understand: scales
// of 0, 1 or 2 extents and modes 0..5, at least one axis moving.
TEST(EffectTable, BandArgumentsAreScalesAndModes) {
  const std::vector<Effect> rows = EffectsDrawnBy({RevealBars, RevealShred, RevealSpeckle});
  EXPECT_EQ(rows.size(), 45u);
  for (const Effect& e : rows) {
    const auto [xScale, yScale, vmode, hmode] = e.args.values;
    EXPECT_TRUE(xScale >= 0 && xScale <= 2 && yScale >= 0 && yScale <= 2) << e.number;
    EXPECT_TRUE(vmode >= 0 && vmode <= 5 && hmode >= 0 && hmode <= 5) << e.number;
    EXPECT_TRUE(vmode != 0 || hmode != 0) << e.number;
    if (e.routine == RevealSpeckle) {
      // Speckles always take both extents as they are.
      EXPECT_TRUE(xScale == 1 && yScale == 1) << e.number;
    } else {
      // A moving axis whose extent is scaled by 0 would never move; a still axis with a
      // scale is a row whose scales and modes were swapped.
      EXPECT_EQ(hmode != 0, xScale != 0) << e.number;
      EXPECT_EQ(vmode != 0, yScale != 0) << e.number;
    }
  }
}

// Family lists are made from the table: every routine a family names draws a row there (a
// routine dropped from the table would silently leave the family's tests), and the
// families keep their sizes (a row pointing at another family's routine changes both).
TEST(EffectTable, EveryFamilyRoutineDrawsARow) {
  for (const auto routines : {BandRoutines(), ShapeRoutines()}) {
    for (const EffectRoutine routine : routines) EXPECT_FALSE(EffectsDrawnBy({routine}).empty());
  }
  EXPECT_EQ(EffectsDrawnBy(BandRoutines()).size(), 58u);
  EXPECT_EQ(EffectsDrawnBy(ShapeRoutines()).size(), 37u);
  EXPECT_EQ(EffectsDrawnBy({Pivot}).size(), 4u);
}

// The selection keeps number order and table entries as they are (a selection that sorted
// by routine or dropped the arguments would break the parameterised family tests).
TEST(EffectsDrawnBy, GivesTheRowsInNumberOrderWithTheirArguments) {
  const std::vector<Effect> rows = EffectsDrawnBy({RectanglesDown, Fade, RectanglesAcross});
  ASSERT_EQ(rows.size(), 5u);
  const int32_t numbers[] = {1, 145, 146, 147, 148};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].number, numbers[i]);
    EXPECT_EQ(rows[i].args, EffectByNumber(numbers[i]).args);
    EXPECT_EQ(rows[i].name, EffectByNumber(numbers[i]).name);
  }
  EXPECT_TRUE(EffectsDrawnBy(std::span<const EffectRoutine>()).empty());
}

// --- Progress extents -------------------------------------------------------------------

struct ExtentsCase {
  int32_t W, H, percent, w, h;
};

TEST(ProgressExtents, ScaleTheLongerSideAndKeepTheAspect) {
  const ExtentsCase cases[] = {
      {1024, 768, 50, 512, 384},  {768, 1024, 50, 384, 512},
      {1024, 768, 0, 0, 0},       {1024, 768, 100, 1024, 768},
      {41, 31, 100, 41, 31},      {31, 41, 100, 31, 41},
      {1920, 1080, 13, 250, 141},  // 249.6 -> 250; 250 * 1080 / 1920 = 140.6 -> 141
      {3, 3, 50, 2, 2},            // halves round away from zero
      {100, 100, 37, 37, 37},     {0, 0, 50, 0, 0},
      {5, 0, 60, 3, 0},           {0, 5, 60, 0, 3},
  };
  for (const auto& c : cases) {
    const Extents e = ProgressExtents(c.W, c.H, c.percent);
    EXPECT_EQ(e.w, c.w) << c.W << "x" << c.H << " at " << c.percent;
    EXPECT_EQ(e.h, c.h) << c.W << "x" << c.H << " at " << c.percent;
  }
}

// --- Effect list ------------------------------------------------------------------------

TEST(EffectList, EmptyOrBlankSettingAllowsFadeOnly) {
  for (const char* text : {"", "   ", "\t \r\n"}) {
    const EffectList list = BuildEffectList(text);
    ASSERT_EQ(list.size(), 1u) << '"' << text << '"';
    EXPECT_EQ(list[0], "1");
    EXPECT_EQ(ChooseEffect(list), 1);
  }
}

TEST(EffectList, SplitsCommasAndBlanks) {
  EXPECT_EQ(BuildEffectList("1,5, 7"), (EffectList{"1", "5", "7"}));
  EXPECT_EQ(BuildEffectList("1 5"), (EffectList{"1", "5"}));
  EXPECT_EQ(BuildEffectList("1,,5"), (EffectList{"1", "", "5"}));
}

TEST(EffectList, ASingleNumberIsAlwaysChosen) {
  const EffectList list = BuildEffectList("5");
  for (int i = 0; i < 50; ++i) EXPECT_EQ(ChooseEffect(list), 5);
}

TEST(EffectList, ItemsAreReadAsDecimalIntegers) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"12", 12},
      {"0", 0},
      {"-3", -3},
      {"+4", 4},
      {"0169", 169},
      {"", std::nullopt},
      {"1a", std::nullopt},
      {"a1", std::nullopt},
      {"0x10", std::nullopt},
      {"1.5", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"\"7\"", std::nullopt},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ParseEffectItem(text), want) << text;
}

TEST(EffectList, NumbersOutsideTheTableChooseFade) {
  for (const char* text : {"0", "170", "-5", "2147483647"})
    EXPECT_EQ(ChooseEffect(BuildEffectList(text)), 1) << text;
  EXPECT_EQ(ChooseEffect(BuildEffectList("169")), 169);
}

TEST(EffectList, ANonIntegerItemIsAnError) {
  EXPECT_EQ(ChooseEffect(BuildEffectList("fade")), std::nullopt);
  // "1,,5": the empty middle item is an error whenever it is drawn.
  const EffectList list = BuildEffectList("1,,5");
  int errors = 0;
  for (int i = 0; i < 300; ++i)
    if (!ChooseEffect(list)) ++errors;
  EXPECT_GT(errors, 50);
  EXPECT_LT(errors, 150);
}

TEST(EffectList, DrawsOneEntryWithTheSharedGenerator) {
  const EffectList list = BuildEffectList("4,9,130,57");
  for (uint32_t seed : {0u, 1u, 12345u, 0xDEADBEEFu}) {
    SetRandSeed(seed);
    const int32_t index = Random(4);
    const uint32_t after = RandSeed();
    SetRandSeed(seed);
    EXPECT_EQ(ChooseEffect(list), *ParseEffectItem(list[index]));
    EXPECT_EQ(RandSeed(), after);
  }
}

TEST(EffectList, ANumberListedTwiceIsTwiceAsLikely) {
  const EffectList list = BuildEffectList("5,5,7");
  SetRandSeed(99);
  int fives = 0, sevens = 0;
  for (int i = 0; i < 3000; ++i) (ChooseEffect(list) == 5 ? fives : sevens)++;
  EXPECT_NEAR(static_cast<double>(fives) / sevens, 2.0, 0.25);
}

}  // namespace
}  // namespace vec
