#include "app/random_key.h"

#include <algorithm>

#include "runtime/string_ops.h"

namespace hb {
namespace {

constexpr uint32_t kMultiplier = 134775813u;
constexpr uint32_t kIncrement = 1u;

RandomState state{kRandomStart, kRandomStart};

}  // namespace

void ResetRandomState() noexcept { state = {kRandomStart, kRandomStart}; }

RandomState CurrentRandomState() noexcept { return state; }

int32_t RandomInRange(int32_t a, int32_t b) noexcept {
  const int64_t lo = std::min(a, b);
  const int64_t span = int64_t{std::max(a, b)} - lo + 1;  // 1 .. 2^32
  state.seed = state.seed * kMultiplier + kIncrement;     // modulo 2^32
  state.last = state.seed;
  // (seed >> 1) / 2^31 is a fraction in [0, 1); scaling it by the span in
  // 64-bit integers is exact, since (seed >> 1) * span < 2^63.
  const int64_t offset = (int64_t{state.seed >> 1} * span) >> 31;
  return static_cast<int32_t>(lo + offset);
}

DynString RandomKey() {
  DynString key = Spaces(kRandomKeyLength);
  char* letters = key.MutableData();
  if (letters == nullptr) return key;  // out of memory: the empty key
  for (int32_t i = 0; i < kRandomKeyLength; ++i) letters[i] = static_cast<char>(RandomInRange(65, 90));
  return key;
}

}  // namespace hb
