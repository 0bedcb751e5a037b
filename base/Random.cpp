#include "base/Random.h"

#include <atomic>
#include <chrono>

namespace vec {
namespace {
std::atomic<uint32_t> g_seed{0};
std::atomic<bool> g_locked{false};
}  // namespace

int32_t Random(int32_t n) {
  uint32_t old_seed = g_seed.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = RandomGenerator::Step(old_seed);
  } while (!g_seed.compare_exchange_weak(old_seed, next, std::memory_order_relaxed));
  return RandomGenerator::Scale(next, n);
}

void Randomize() {
  if (g_locked.load()) return;
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  g_seed.store(static_cast<uint32_t>(ticks));
}

uint32_t RandSeed() {
  return g_seed.load();
}
void SetRandSeed(uint32_t seed) {
  g_seed.store(seed);
}
void LockRandomize(bool locked) {
  g_locked.store(locked);
}
bool RandomizeLocked() {
  return g_locked.load();
}

}  // namespace vec
