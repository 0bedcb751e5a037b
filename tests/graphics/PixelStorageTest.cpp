#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

#include "graphics/PixelStorage.h"

namespace vec {
namespace {

// Blocks from 4 MiB on start on a 2 MiB boundary and are rounded up to whole 2 MiB pages;
// smaller ones start on a cache line. Every pixel of the rounded capacity is usable: a
// growth within it keeps the block, and writing all of it stays inside (the sanitizer build
// catches a capacity claimed past the allocation, and a block freed with another alignment
// than it was taken with). Copies and moves keep the pixels.
TEST(PixelStorage, LargeBlocksStartOnHugePagesAndUseTheirWholeRounding) {
  constexpr size_t kPage = size_t{2} << 20;
  struct Case {
    size_t pixels;
    size_t alignment;
    size_t capacityPixels;  // what a growth may reach without a new block
  };
  const Case cases[] = {
      {(size_t{4} << 20) / 4 - 1, 64, (size_t{4} << 20) / 4 - 1},  // just below 4 MiB
      {(size_t{4} << 20) / 4, kPage, (size_t{4} << 20) / 4},       // exactly two pages
      {1920 * 1080, kPage, (4 * kPage) / 4},                       // 7.9 MiB in four pages
      {1025 * 1024, kPage, (3 * kPage) / 4},                       // just over two pages
  };
  for (const Case& c : cases) {
    PixelStorage storage;
    storage.resize_for_overwrite(c.pixels);
    ASSERT_EQ(storage.size(), c.pixels);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(storage.data()) % c.alignment, 0u) << c.pixels;
    const Pixel* block = storage.data();
    storage.resize_for_overwrite(c.capacityPixels);
    EXPECT_EQ(storage.data(), block) << c.pixels << ": the rounding was not kept as capacity";
    std::iota(storage.begin(), storage.end(), Pixel{7});
    EXPECT_EQ(storage[c.capacityPixels - 1], Pixel{7} + static_cast<Pixel>(c.capacityPixels - 1));

    PixelStorage copy = storage;
    EXPECT_TRUE(copy == storage);
    PixelStorage moved = std::move(copy);
    EXPECT_TRUE(moved == storage);
    storage.resize_for_overwrite(c.capacityPixels + 1);
    EXPECT_NE(storage.data(), nullptr);
    EXPECT_EQ(storage.size(), c.capacityPixels + 1);
  }
}

}  // namespace
}  // namespace vec
