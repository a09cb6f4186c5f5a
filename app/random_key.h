// The pseudo-random generator behind the benchmark keys.
//
// One process-wide 32-bit linear congruential state, all ones when the
// process starts and never reseeded, so every run draws the same keys: the
// string-bag benchmark takes the first 2000, the map benchmark the next 1000.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"

namespace hb {

struct RandomState {
  uint32_t seed;  // advanced by every draw
  uint32_t last;  // the seed of the most recent draw
};

inline constexpr uint32_t kRandomStart = 0xFFFFFFFFu;
inline constexpr int32_t kRandomKeyLength = 20;

// Back to the start value; start-up does this before Main.
void ResetRandomState() noexcept;
RandomState CurrentRandomState() noexcept;

// A value between the smaller and the larger of a and b, both included; the
// order of the arguments does not matter.
int32_t RandomInRange(int32_t a, int32_t b) noexcept;

// 20 capital letters, "A" to "Z", one draw each from the first to the last.
DynString RandomKey();

}  // namespace hb
