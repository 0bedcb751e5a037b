#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>

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
  std::optional<ErrorCode> error;  // nullopt: found
};

class FindMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(FindMarkerTest, FindsTheFirstCompleteMarker) {
  const MarkerCase& c = GetParam();
  ScratchDir dir;
  WriteBytes(dir / "f", c.bytes);
  ErrorOr<MarkerLocation> r = FindMarker(dir / "f");
  EXPECT_EQ(r.ok(), c.found);
  if (c.found && r.ok()) {
    EXPECT_EQ(r->offset, c.offset);
    EXPECT_EQ(r->count, c.count);
  }
  if (!c.found && r.is_error()) {
    EXPECT_EQ(std::optional<ErrorCode>(r.error().code), c.error);
  }
}

const std::string kJunk(256 * 1024 - 5, 'x');  // puts a marker across the reader's chunk boundary

INSTANTIATE_TEST_SUITE_P(
    Cases, FindMarkerTest,
    ::testing::Values(
        MarkerCase{"AtStart", M + W::SizeField(3), true, 13, 3, std::nullopt},
        MarkerCase{"AfterJunk", "abc" + M + W::SizeField(4), true, 16, 4, std::nullopt},
        // A stray first marker byte right before the marker must not hide it.
        MarkerCase{"AfterStrayFirstByte", "|" + M + W::SizeField(4), true, 14, 4, std::nullopt},
        MarkerCase{"AfterBrokenPartialMatch", "|WFS" + M + W::SizeField(2), true, 17, 2,
                   std::nullopt},
        MarkerCase{"AfterTwelveOfThirteen", M.substr(0, 12) + M + W::SizeField(9), true, 25, 9,
                   std::nullopt},
        MarkerCase{"TwiceFirstWins", M + W::SizeField(1) + M + W::SizeField(2), true, 13, 1,
                   std::nullopt},
        MarkerCase{"AcrossChunkBoundary", kJunk + M + W::SizeField(7), true, kJunk.size() + 13, 7,
                   std::nullopt},
        MarkerCase{"PlainTextNeverMatches", "{VERESROURCE}" + W::SizeField(4), false, 0, 0,
                   ErrorCode::NoMarker},
        MarkerCase{"None", "hello world", false, 0, 0, ErrorCode::NoMarker},
        MarkerCase{"Empty", "", false, 0, 0, ErrorCode::NoMarker},
        MarkerCase{"CountCutShort", M + "\x01\x02", false, 0, 0, ErrorCode::NoCount}),
    [](const auto& info) { return info.param.name; });

TEST(FindMarker, MissingFileCannotOpen) {
  const ErrorOr<MarkerLocation> r = FindMarker("/nonexistent/vec/file");
  ASSERT_TRUE(r.is_error());
  EXPECT_EQ(r.error().code, ErrorCode::OpenFailed);
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
  ErrorOr<ExtractResult> r = ExtractRecords(dir / "c", targets);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->written, c.written);
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
  ErrorOr<ExtractResult> r = ExtractRecords(dir / "c", {dir / "t0", "", dir / "t2"});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->written, (std::vector<WrittenSize>{1, std::nullopt, 1}));
  EXPECT_EQ(ReadBytes(dir / "t2"), "c");
}

TEST(ExtractRecords, NeverWritesThroughASymbolicLink) {
  ScratchDir dir;
  WriteBytes(dir / "victim", "keep");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "t0").c_str()), 0);
  WriteBytes(dir / "c", W::Build({"evil", "ok"}));
  ErrorOr<ExtractResult> r = ExtractRecords(dir / "c", {dir / "t0", dir / "t1"});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->uncreated, 1u);
  EXPECT_EQ(r->written, (std::vector<WrittenSize>{std::nullopt, 2}));
  EXPECT_EQ(ReadBytes(dir / "victim"), "keep");
}

TEST(ExtractRecords, TruncatesAnExistingTarget) {
  ScratchDir dir;
  WriteBytes(dir / "t0", "a much longer old content");
  WriteBytes(dir / "c", W::Build({"new"}));
  EXPECT_TRUE(ExtractRecords(dir / "c", {dir / "t0"}).ok());
  EXPECT_EQ(ReadBytes(dir / "t0"), "new");
}

TEST(ExtractRecords, ReportsAMissingMarker) {
  ScratchDir dir;
  WriteBytes(dir / "c", "no container here");
  ErrorOr<ExtractResult> r = ExtractRecords(dir / "c", {dir / "t0"});
  ASSERT_TRUE(r.is_error());
  EXPECT_EQ(r.error().code, ErrorCode::NoMarker);
  EXPECT_FALSE(testing::Exists(dir / "t0"));
}

TEST(ExtractRecords, CopiesARecordLargerThanTheCopyBuffer) {
  ScratchDir dir;
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 11));
  WriteBytes(dir / "c", W::Build({big, "tail"}));
  ErrorOr<ExtractResult> r = ExtractRecords(dir / "c", {dir / "t0", dir / "t1"});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->written, (std::vector<WrittenSize>{big.size(), 4}));
  EXPECT_TRUE(ReadBytes(dir / "t0") == big);
  EXPECT_EQ(ReadBytes(dir / "t1"), "tail");
}

TEST(ReadRecords, ReadsAtMostTheLimits) {
  ScratchDir dir;
  WriteBytes(dir / "c", W::Build({"first", "second", "third", "fourth"}));
  ErrorOr<RecordsInMemory> r = ReadRecords(dir / "c", 3, 4);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->count, 4u);
  EXPECT_EQ(r->records, (std::vector<std::string>{"firs", "seco", "thir"}));
}

TEST(ReadRecords, HugeSizeDoesNotAllocateBeyondTheFile) {
  ScratchDir dir;
  WriteBytes(dir / "c", W::Header(1) + W::SizeField(0xFFFFFFF0u) + "abc");
  ErrorOr<RecordsInMemory> r = ReadRecords(dir / "c", 3, size_t(1) << 40);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r->records.size(), 1u);
  EXPECT_EQ(r->records[0], "abc");
}

}  // namespace
}  // namespace vec
