#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "base/FrameThreads.h"
#include "tests/threads/FrameThreadsTest.h"

namespace vec {
namespace {

using testing::ScopedFrameThreads;

struct Call {
  int32_t begin, end;
  bool onCaller;
};

std::vector<Call> CallsOf(int32_t rows, int64_t pixels) {
  std::mutex m;
  std::vector<Call> calls;
  const auto caller = std::this_thread::get_id();
  SplitRows(rows, pixels, [&](int32_t begin, int32_t end) {
    const std::lock_guard lock(m);
    calls.push_back({begin, end, std::this_thread::get_id() == caller});
  });
  std::sort(calls.begin(), calls.end(),
            [](const Call& a, const Call& b) { return a.begin < b.begin; });
  return calls;
}

// The runs as hand-worked from rows * k / parts. Catches runs that overlap or leave a gap
// (an off-by-one in the edges), a dropped last run, a cap that is not applied, more runs
// than rows, and a threshold compared the wrong way round.
TEST(SplitRows, CutsTheRowsIntoConsecutiveRunsUpToTheCap) {
  struct Case {
    int32_t rows, cap;
    int64_t pixels, large;
    std::vector<std::pair<int32_t, int32_t>> runs;
  } cases[] = {
      {10, 3, 100, 100, {{0, 3}, {3, 6}, {6, 10}}},
      {7, 2, 500, 100, {{0, 3}, {3, 7}}},
      {2, 4, 100, 100, {{0, 1}, {1, 2}}},  // never more runs than rows
      {9, 1, 100, 100, {{0, 9}}},          // a cap of one
      {9, 4, 99, 100, {{0, 9}}},           // one pixel short of a large frame
      {1, 4, 100, 1, {{0, 1}}},
  };
  for (const Case& c : cases) {
    const ScopedFrameThreads threads(c.cap, c.large);
    const std::vector<Call> calls = CallsOf(c.rows, c.pixels);
    std::vector<std::pair<int32_t, int32_t>> runs;
    for (const Call& call : calls) runs.emplace_back(call.begin, call.end);
    EXPECT_EQ(runs, c.runs) << c.rows << " rows, cap " << c.cap << ", " << c.pixels << " pixels";
    // The first run is drawn by the caller, every other on a thread of its own.
    for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].onCaller, i == 0) << i;
  }
}

// A run that fails on a helper thread (out of memory, say) fails the call, after every
// other run has ended. Catches the failure ending the process in the helper, or being lost.
TEST(SplitRows, AFailureOnAHelperReachesTheCaller) {
  const ScopedFrameThreads threads(3, 1);
  std::atomic<int32_t> rowsDone{0};
  EXPECT_THROW(SplitRows(9, 100,
                         [&](int32_t begin, int32_t end) {
                           if (begin == 6) throw std::bad_alloc();
                           rowsDone += end - begin;
                         }),
               std::bad_alloc);
  EXPECT_EQ(rowsDone.load(), 6);
}

TEST(SplitRows, NoRowsNoCall) {
  const ScopedFrameThreads threads(4, 1);
  EXPECT_TRUE(CallsOf(0, 100).empty());
  EXPECT_TRUE(CallsOf(-3, 100).empty());
}

// The default threshold is a 4K frame: catches a default that splits 1080p frames.
TEST(SplitRows, DefaultLargeFrameIsFourK) {
  EXPECT_EQ(LargeFramePixels(), int64_t{3840} * 2160);
  const ScopedFrameThreads threads(4, int64_t{3840} * 2160);
  EXPECT_EQ(CallsOf(1080, int64_t{1920} * 1080).size(), 1u);
  EXPECT_EQ(CallsOf(2160, int64_t{3840} * 2160).size(), 4u);
}

// Catches a cap that is not reset by 0, or lets through counts the threads cannot use.
TEST(FrameThreadCap, ZeroMeansTheMachinesCoresAndLargeCapsAreClamped) {
  const ScopedFrameThreads threads(0, 1);
  const int32_t cores = FrameThreadCap();
  EXPECT_GE(cores, 1);
  SetFrameThreadCap(3);
  EXPECT_EQ(FrameThreadCap(), 3);
  SetFrameThreadCap(100000);
  EXPECT_EQ(FrameThreadCap(), 256);
  SetFrameThreadCap(0);
  EXPECT_EQ(FrameThreadCap(), cores);
}

// Catches signs, spaces, trailing text, zero and counts past the limit being accepted.
TEST(ParseThreadCount, DecimalCountsFromOneTo256Only) {
  struct Case {
    const char* text;
    std::optional<int32_t> want;
  } cases[] = {
      {"1", 1},
      {"4", 4},
      {"256", 256},
      {"08", 8},
      {"0", std::nullopt},
      {"257", std::nullopt},
      {"-2", std::nullopt},
      {"+2", std::nullopt},
      {" 2", std::nullopt},
      {"2 ", std::nullopt},
      {"2x", std::nullopt},
      {"", std::nullopt},
      {"0x4", std::nullopt},
      {"0004", std::nullopt},
      {"99999999999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseThreadCount(c.text), c.want) << '"' << c.text << '"';
}

}  // namespace
}  // namespace vec
