#pragma once
// The one process-wide pseudo-random generator.
//
// A 32-bit linear congruential generator: every call sets
// seed = seed * 134775813 + 1 (mod 2^32) and returns the high 32 bits of the
// unsigned 64-bit product seed * N, so 0 <= result < N. Stored effects and
// references depend on this exact sequence, so it must never change.
//
// Calls from several threads are safe: each draw is one atomic update of the
// seed, so the sequence seen by a single thread is exactly the serial one.

#include <cstdint>

namespace vec {

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
