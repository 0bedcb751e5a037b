#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/VectorLevel.h"
#include "tests/support/VectorLevels.h"

namespace vec {
namespace {

// The names VECSAVER_VECTORS takes, both ways, and what is refused. Catches a level mapped
// to another's name (a run capped at the wrong level), a prefix or a different case taken
// for a name, and an empty value taken for the lowest level.
TEST(VectorLevel, NamesReadBackToTheirLevels) {
  struct Case {
    const char* name;
    std::optional<VectorLevel> level;
  };
  const Case cases[] = {
      {"scalar", VectorLevel::Scalar}, {"sse2", VectorLevel::Sse2}, {"ssse3", VectorLevel::Ssse3},
      {"avx2", VectorLevel::Avx2},     {"", std::nullopt},          {"AVX2", std::nullopt},
      {"sse", std::nullopt},           {"avx2 ", std::nullopt},     {"avx512", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseVectorLevel(c.name), c.level) << '"' << c.name << '"';
    if (c.level) {
      EXPECT_EQ(VectorLevelName(*c.level), c.name);
    }
  }
}

// The test hook caps the level and never raises it past the processor's best; lifting the
// cap restores the level the run started with. Catches a cap that is ignored, one that
// raises the level (a kernel the processor lacks) and one that sticks after the scope.
TEST(VectorLevel, TheCapLowersButNeverRaises) {
  const VectorLevel start = CurrentVectorLevel();
  EXPECT_LE(start, BestVectorLevel());
  for (const VectorLevel level : kVectorLevels) {
    const testing::ScopedVectorLevel limit(level);
    EXPECT_EQ(CurrentVectorLevel(), std::min(level, start)) << VectorLevelName(level);
  }
  EXPECT_EQ(CurrentVectorLevel(), start);
}

// VECSAVER_VECTORS is read once, at the first use of the level, so each value runs in a
// fresh child process (the "threadsafe" style starts the test program anew) that reports
// the level it ends up with as its exit code. Catches the variable not read at all, read
// as raising the level, and a bad value taken as some level instead of reported and
// ignored.
TEST(VectorLevelDeathTest, TheEnvironmentCapsTheWholeRun) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    const char* value;
    VectorLevel expected;
    const char* message;
  };
  const VectorLevel best = BestVectorLevel();
  const Case cases[] = {
      {"scalar", VectorLevel::Scalar, ""},
      {"sse2", std::min(VectorLevel::Sse2, best), ""},
      {"avx2", best, ""},
      {"sse9", best, "ignoring VECSAVER_VECTORS=\"sse9\""},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          setenv("VECSAVER_VECTORS", c.value, 1);
          std::exit(static_cast<int>(CurrentVectorLevel()));
        },
        ::testing::ExitedWithCode(static_cast<int>(c.expected)), c.message)
        << c.value;
  }
}

}  // namespace
}  // namespace vec
