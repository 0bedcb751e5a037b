#pragma once
// The pseudo-random generator, as a value and as the one process-wide instance.
//
// A 32-bit linear congruential generator: every draw sets
// seed = seed * 134775813 + 1 (mod 2^32) and returns the high 32 bits of the
// unsigned 64-bit product seed * N, so 0 <= result < N. Stored effects and
// references depend on this exact sequence, so it must never change.
//
// Calls of the process-wide Random() from several threads are safe: each draw is one
// atomic update of the seed, so the sequence seen by a single thread is exactly the
// serial one.

#include <cstdint>

namespace vec {

// The generator as a value. Effects that draw from a fixed seed of their own hold one, so
// the process-wide sequence is left where it stood; Random() steps the shared seed with
// the same Step.
class RandomGenerator {
 public:
  static constexpr uint32_t kMultiplier = 134775813u;
  static constexpr uint32_t kIncrement = 1u;

  // The map of n steps at once, seed -> seed * multiplier + increment: a copy of the
  // sequence n draws ahead, or several copies run side by side n draws apart.
  struct Jump {
    uint32_t multiplier = 1, increment = 0;
    constexpr uint32_t Apply(uint32_t seed) const { return seed * multiplier + increment; }
  };

  constexpr explicit RandomGenerator(uint32_t seed) : seed_(seed) {}

  // One step of the sequence.
  static constexpr uint32_t Step(uint32_t seed) { return seed * kMultiplier + kIncrement; }
  // The draw in [0, n) that a seed just stepped to gives (n read as unsigned, see Random).
  static constexpr int32_t Scale(uint32_t seed, int32_t n) {
    return static_cast<int32_t>((static_cast<uint64_t>(static_cast<uint32_t>(n)) * seed) >> 32);
  }
  // The map of n steps, composed by squaring.
  static constexpr Jump StepsOf(uint64_t n) {
    Jump all, power{kMultiplier, kIncrement};  // power: the map of 2^k steps
    for (; n > 0; n >>= 1) {
      if (n & 1)
        all = {all.multiplier * power.multiplier,
               all.increment * power.multiplier + power.increment};
      power = {power.multiplier * power.multiplier,
               power.increment * power.multiplier + power.increment};
    }
    return all;
  }

  constexpr uint32_t Seed() const { return seed_; }
  // Steps once and returns the new seed.
  constexpr uint32_t Next() { return seed_ = Step(seed_); }
  // Steps once and returns a value in [0, n), as Random(n) does.
  constexpr int32_t Below(int32_t n) { return Scale(Next(), n); }
  // Steps n times.
  constexpr void Skip(uint64_t n) { seed_ = StepsOf(n).Apply(seed_); }

 private:
  uint32_t seed_;
};

// Returns a value in [0, n) and advances the seed. n is read as an unsigned 32-bit count, so
// a negative n draws from [0, 2^32 + n) and may come out negative; stored effects draw
// their sequences this way.
int32_t Random(int32_t n);

// Seeds the generator from the high-resolution clock, unless seeding is locked.
void Randomize();

uint32_t RandSeed();
void SetRandSeed(uint32_t seed);

// While locked, Randomize() leaves the seed alone (offline rendering with --seed).
void LockRandomize(bool locked);
bool RandomizeLocked();

// Saves the seed on construction and restores it on destruction; effects that
// draw from their own fixed seed use it so the caller's sequence is untouched.
class SavedRandSeed {
 public:
  SavedRandSeed() : saved_(RandSeed()) {}
  ~SavedRandSeed() { SetRandSeed(saved_); }
  SavedRandSeed(const SavedRandSeed&) = delete;
  SavedRandSeed& operator=(const SavedRandSeed&) = delete;

 private:
  uint32_t saved_;
};

}  // namespace vec
