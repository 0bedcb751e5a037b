#include <gtest/gtest.h>
#include <unistd.h>

#include "package/Container.h"
#include "package/FileUtil.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;
using W = ContainerWriter;

const std::string M = ScrambledMarker();

TEST(ContainerMarker, IsThePlainTextShiftedByOne) {
  EXPECT_EQ(M, "|WFSFTSPVSDF~");
  EXPECT_EQ(M.size(), kMarkerSize);
}

struct MarkerCase {
  const char* name;
  std::string bytes;
  bool found;
  uint64_t offset;
  uint32_t count;
  ContainerError error;
};

class FindMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(FindMarkerTest, FindsTheFirstCompleteMarker) {
  const MarkerCase& c = GetParam();
  ScratchDir dir;
  WriteBytes(dir / "f", c.bytes);
  MarkerResult r = FindMarker(dir / "f");
  EXPECT_EQ(r.found, c.found);
  EXPECT_EQ(r.error, c.error);
  if (c.found) {
    EXPECT_EQ(r.offset, c.offset);
    EXPECT_EQ(r.count, c.count);
  }
}

const std::string kJunk(256 * 1024 - 5, 'x');  // puts a marker across the reader's chunk boundary

INSTANTIATE_TEST_SUITE_P(
    Cases, FindMarkerTest,
    ::testing::Values(
        MarkerCase{"AtStart", M + W::SizeField(3), true, 13, 3, ContainerError::None},
        MarkerCase{"AfterJunk", "abc" + M + W::SizeField(4), true, 16, 4, ContainerError::None},
        // A stray first marker byte right before the marker must not hide it.
        MarkerCase{"AfterStrayFirstByte", "|" + M + W::SizeField(4), true, 14, 4,
                   ContainerError::None},
        MarkerCase{"AfterBrokenPartialMatch", "|WFS" + M + W::SizeField(2), true, 17, 2,
                   ContainerError::None},
        MarkerCase{"AfterTwelveOfThirteen", M.substr(0, 12) + M + W::SizeField(9), true, 25, 9,
                   ContainerError::None},
        MarkerCase{"TwiceFirstWins", M + W::SizeField(1) + M + W::SizeField(2), true, 13, 1,
                   ContainerError::None},
        MarkerCase{"AcrossChunkBoundary", kJunk + M + W::SizeField(7), true, kJunk.size() + 13, 7,
                   ContainerError::None},
        MarkerCase{"PlainTextNeverMatches", "{VERESROURCE}" + W::SizeField(4), false, 0, 0,
                   ContainerError::NoMarker},
        MarkerCase{"None", "hello world", false, 0, 0, ContainerError::NoMarker},
        MarkerCase{"Empty", "", false, 0, 0, ContainerError::NoMarker},
        MarkerCase{"CountCutShort", M + "\x01\x02", false, 0, 0, ContainerError::NoCount}),
    [](const auto& info) { return info.param.name; });

TEST(FindMarker, MissingFileCannotOpen) {
  EXPECT_EQ(FindMarker("/nonexistent/vec/file").error, ContainerError::CannotOpen);
}

struct ExtractCase {
  const char* name;
  std::string container;
  size_t targets;
  std::vector<WrittenSize> written;
  std::vector<std::string> contents;  // of the written targets, in order
};

class ExtractRecordsTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractRecordsTest, WritesWhatTheFileHolds) {
  const ExtractCase& c = GetParam();
  ScratchDir dir;
  WriteBytes(dir / "c", "prefix" + c.container);
  std::vector<std::string> targets;
  for (size_t i = 0; i < c.targets; ++i) targets.push_back(dir / ("t" + std::to_string(i)));
  ExtractResult r = ExtractRecords(dir / "c", targets);
  EXPECT_EQ(r.written, c.written);
  size_t k = 0;
  for (size_t i = 0; i < c.targets; ++i) {
    if (!c.written[i]) {
      EXPECT_FALSE(testing::Exists(targets[i])) << targets[i];
      continue;
    }
    ASSERT_LT(k, c.contents.size());
    EXPECT_EQ(ReadBytes(targets[i]), c.contents[k++]);
  }
}

std::string Rec(const std::string& s) {
  return W::SizeField(static_cast<uint32_t>(s.size())) + s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractRecordsTest,
    ::testing::Values(
        ExtractCase{
            "InOrder", W::Build({"one", "two", "three"}), 3, {3, 3, 5}, {"one", "two", "three"}},
        ExtractCase{"ZeroSizeRecordIsEmptyFile", W::Build({"", "x"}), 2, {0, 1}, {"", "x"}},
        ExtractCase{"MoreRecordsThanTargets", W::Build({"a", "b", "c"}), 2, {1, 1}, {"a", "b"}},
        ExtractCase{
            "FewerRecordsThanTargets", W::Build({"a"}), 3, {1, std::nullopt, std::nullopt}, {"a"}},
        // A size beyond the end: what is there is written, and nothing follows.
        ExtractCase{"SizeBeyondEnd",
                    W::Header(2) + W::SizeField(100) + "short",
                    2,
                    {5, std::nullopt},
                    {"short"}},
        // A count far beyond the file: the loop ends with the file, not with the count.
        ExtractCase{"HugeCount",
                    W::Header(0xFFFFFFFFu) + Rec("only"),
                    3,
                    {4, std::nullopt, std::nullopt},
                    {"only"}},
        ExtractCase{
            "CutInsideSizeField", W::Header(2) + Rec("a") + "\x05", 2, {1, std::nullopt}, {"a"}}),
    [](const auto& info) { return info.param.name; });

TEST(ExtractRecords, EmptyTargetSkipsItsRecordOnly) {
  ScratchDir dir;
  WriteBytes(dir / "c", W::Build({"a", "b", "c"}));
  ExtractResult r = ExtractRecords(dir / "c", {dir / "t0", "", dir / "t2"});
  EXPECT_EQ(r.written, (std::vector<WrittenSize>{1, std::nullopt, 1}));
  EXPECT_EQ(ReadBytes(dir / "t2"), "c");
}

TEST(ExtractRecords, NeverWritesThroughASymbolicLink) {
  ScratchDir dir;
  WriteBytes(dir / "victim", "keep");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "t0").c_str()), 0);
  WriteBytes(dir / "c", W::Build({"evil", "ok"}));
  ExtractResult r = ExtractRecords(dir / "c", {dir / "t0", dir / "t1"});
  EXPECT_EQ(r.error, ContainerError::CannotWrite);
  EXPECT_EQ(r.written, (std::vector<WrittenSize>{std::nullopt, 2}));
  EXPECT_EQ(ReadBytes(dir / "victim"), "keep");
}

TEST(ExtractRecords, TruncatesAnExistingTarget) {
  ScratchDir dir;
  WriteBytes(dir / "t0", "a much longer old content");
  WriteBytes(dir / "c", W::Build({"new"}));
  ExtractRecords(dir / "c", {dir / "t0"});
  EXPECT_EQ(ReadBytes(dir / "t0"), "new");
}

TEST(ExtractRecords, ReportsAMissingMarker) {
  ScratchDir dir;
  WriteBytes(dir / "c", "no container here");
  ExtractResult r = ExtractRecords(dir / "c", {dir / "t0"});
  EXPECT_EQ(r.error, ContainerError::NoMarker);
  EXPECT_FALSE(testing::Exists(dir / "t0"));
}

TEST(ExtractRecords, CopiesARecordLargerThanTheCopyBuffer) {
  ScratchDir dir;
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 11));
  WriteBytes(dir / "c", W::Build({big, "tail"}));
  ExtractResult r = ExtractRecords(dir / "c", {dir / "t0", dir / "t1"});
  EXPECT_EQ(r.written, (std::vector<WrittenSize>{big.size(), 4}));
  EXPECT_TRUE(ReadBytes(dir / "t0") == big);
  EXPECT_EQ(ReadBytes(dir / "t1"), "tail");
}

TEST(ReadRecords, ReadsAtMostTheLimits) {
  ScratchDir dir;
  WriteBytes(dir / "c", W::Build({"first", "second", "third", "fourth"}));
  RecordsInMemory r = ReadRecords(dir / "c", 3, 4);
  EXPECT_EQ(r.count, 4u);
  EXPECT_EQ(r.records, (std::vector<std::string>{"firs", "seco", "thir"}));
}

TEST(ReadRecords, HugeSizeDoesNotAllocateBeyondTheFile) {
  ScratchDir dir;
  WriteBytes(dir / "c", W::Header(1) + W::SizeField(0xFFFFFFF0u) + "abc");
  RecordsInMemory r = ReadRecords(dir / "c", 3, size_t(1) << 40);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(r.records[0], "abc");
}

}  // namespace
}  // namespace vec
