#include "app/random_key.h"

#include <algorithm>
#include <array>

#include "runtime/string_ops.h"

namespace hb {
namespace {

constexpr uint32_t kMultiplier = 134775813u;
constexpr uint32_t kIncrement = 1u;

RandomState g_randomState{kRandomStart, kRandomStart};

// The generator k steps ahead in one step: seed_k = kAhead[k].scale * seed +
// kAhead[k].offset (mod 2^32). RandomKey computes its 20 seeds from the
// seed it starts with instead of one after another, so the letters do not
// wait on each other; the keys and the final state are the same.
struct Affine {
  uint32_t scale;
  uint32_t offset;
};

constexpr std::array<Affine, kRandomKeyLength + 1> MakeSkipAhead() {
  std::array<Affine, kRandomKeyLength + 1> ahead{};
  ahead[0] = {1u, 0u};
  for (std::size_t k = 1; k < ahead.size(); ++k) {
    ahead[k] = {ahead[k - 1].scale * kMultiplier, ahead[k - 1].offset * kMultiplier + kIncrement};
  }
  return ahead;
}

constexpr std::array<Affine, kRandomKeyLength + 1> kAhead = MakeSkipAhead();

// RandomInRange(65, 90) for a seed that has already been advanced.
constexpr char LetterFor(uint32_t seed) {
  return static_cast<char>('A' + ((uint64_t{seed >> 1} * 26u) >> 31));
}

}  // namespace

void ResetRandomState() noexcept { g_randomState = {kRandomStart, kRandomStart}; }

RandomState CurrentRandomState() noexcept { return g_randomState; }

int32_t RandomInRange(int32_t a, int32_t b) noexcept {
  const int64_t lo = std::min(a, b);
  const int64_t span = int64_t{std::max(a, b)} - lo + 1;  // 1 .. 2^32
  g_randomState.seed = g_randomState.seed * kMultiplier + kIncrement;     // modulo 2^32
  g_randomState.last = g_randomState.seed;
  // (seed >> 1) / 2^31 is a fraction in [0, 1); scaling it by the span in
  // 64-bit integers is exact, since (seed >> 1) * span < 2^63.
  const int64_t offset = (int64_t{g_randomState.seed >> 1} * span) >> 31;
  return static_cast<int32_t>(lo + offset);
}

DynString RandomKey() {
  DynString key = Spaces(kRandomKeyLength);
  char* letters = key.MutableData();
  if (letters == nullptr) return key;  // out of memory: the empty key
  const uint32_t start = g_randomState.seed;
  for (int32_t i = 0; i < kRandomKeyLength; ++i) {
    const Affine& step = kAhead[static_cast<std::size_t>(i) + 1];
    letters[i] = LetterFor(step.scale * start + step.offset);
  }
  const Affine& last = kAhead[kRandomKeyLength];
  g_randomState.seed = last.scale * start + last.offset;
  g_randomState.last = g_randomState.seed;
  return key;
}

}  // namespace hb
