#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/AllocatorTuning.h"

namespace vec {
namespace {

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}

// Faults taken by the last of `rounds` rounds that each take `count` blocks of `bytes`,
// write all of them and free them: near zero when the freed blocks are served again, about
// one per page when every round gets fresh pages from the kernel.
long FaultsOfLastRound(size_t bytes, int count, int rounds) {
  long faults = 0;
  std::vector<void*> blocks(static_cast<size_t>(count));
  for (int i = 0; i < rounds; ++i) {
    const long before = MinorFaults();
    for (void*& block : blocks) {
      block = std::malloc(bytes);
      if (block == nullptr) return -1;
      std::memset(block, i, bytes);
      // Keeps the compiler from dropping the unused block with its writes.
      asm volatile("" : : "r"(block) : "memory");
    }
    for (void* block : blocks) std::free(block);
    faults = MinorFaults() - before;
  }
  return faults;
}

// What a frame of a region effect does: blocks from a few hundred kilobytes to a few
// megabytes, taken and freed again, are served from the heap the next time without new
// pages. Left to itself the allocator serves a block from the heap once it has seen one of
// that size freed, but gives a freed heap top of more than twice that size back to the
// kernel: after the 3 MiB block, twelve blocks of 1 MiB fault on every page again each
// round. A block limit under 3 MiB maps the large single block afresh each round.
TEST(AllocatorTuning, FreedBlocksUnderTheLimitAreReusedWithoutNewPages) {
  if (!KeepFreedMemoryForReuse()) GTEST_SKIP() << "the allocator does not take the settings";
  constexpr size_t kPage = 4096;
  struct Case {
    size_t bytes;
    int count;
  };
  for (const Case c : {Case{300 << 10, 1}, Case{1 << 20, 1}, Case{3 << 20, 1}, Case{1 << 20, 12}}) {
    const long pages = static_cast<long>(c.bytes * static_cast<size_t>(c.count) / kPage);
    const long faults = FaultsOfLastRound(c.bytes, c.count, 4);
    EXPECT_GE(faults, 0);
    EXPECT_LT(faults, pages / 8) << c.count << " x " << c.bytes << " bytes: " << faults
                                 << " faults in " << pages << " pages";
  }
}

}  // namespace
}  // namespace vec
