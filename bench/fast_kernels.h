// Faster forms of the key generator, the key hash and the bucket index, tried
// out here against the program's forms. Each gives exactly the same results;
// kernels_main.cpp checks that and times both.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "bench/key_generator.h"
#include "containers/capacity.h"

namespace hb::bench {

// --- key generator: skip-ahead ----------------------------------------------
// After k steps from seed s the generator holds A_k * s + C_k (mod 2^32), with
// A_k = a^k and C_k = c * (a^(k-1) + ... + a + 1). The 20 states of one key
// then no longer wait on each other, and the processor computes them side by
// side instead of in a chain of 20 multiply-adds.
struct SkipAhead {
  std::array<uint32_t, kKeyLength + 1> a{};
  std::array<uint32_t, kKeyLength + 1> c{};
};

constexpr SkipAhead MakeSkipAhead() {
  SkipAhead table;
  table.a[0] = 1;
  table.c[0] = 0;
  for (int k = 1; k <= kKeyLength; ++k) {
    table.a[k] = table.a[k - 1] * kSeedMultiplier;
    table.c[k] = table.c[k - 1] * kSeedMultiplier + kSeedIncrement;
  }
  return table;
}

inline constexpr SkipAhead kSkipAhead = MakeSkipAhead();

// The letter of a state in 32-bit arithmetic only, so that it vectorises:
// with x = seed >> 1, (x * 26) >> 31 = (x * 13) >> 30, and splitting x into
// 8 * (x >> 3) + (x & 7) keeps every product below 2^32 without changing the
// quotient (the dropped fraction of (x & 7) * 13 / 8 cannot cross a multiple
// of 2^27 that the integer part has not crossed).
inline char LetterOf32(uint32_t seed) {
  const uint32_t x = seed >> 1;
  return static_cast<char>(65 + (((x >> 3) * 13 + (((x & 7) * 13) >> 3)) >> 27));
}

class SkipAheadKeyGenerator {
 public:
  void Next(KeyText& key) {
    const uint32_t s = seed_;
    for (int k = 0; k < kKeyLength; ++k) key[k] = LetterOf32(kSkipAhead.a[k + 1] * s + kSkipAhead.c[k + 1]);
    seed_ = kSkipAhead.a[kKeyLength] * s + kSkipAhead.c[kKeyLength];
  }
  uint32_t Seed() const { return seed_; }

 private:
  uint32_t seed_ = kSeedStart;
};

// --- key hash: sums of bytes times powers of the multiplier -------------------
// h(b0..bn-1) = M^n + sum b_i * M^(n-1-i) (mod 2^32). A block of 8 bytes
// advances h by h * M^8 + sum b_j * M^(7-j): eight independent products
// instead of eight dependent multiply-adds.
inline constexpr int kHashBlock = 8;
inline constexpr int kWideBlock = 16;  // the AVX2 form's block, below

// kHashPowers[k] = M^k, for both block sizes.
constexpr std::array<uint32_t, kWideBlock + 1> MakeHashPowers() {
  std::array<uint32_t, kWideBlock + 1> p{};
  p[0] = 1;
  for (int i = 1; i <= kWideBlock; ++i) p[i] = p[i - 1] * kHashMultiplier;
  return p;
}

inline constexpr std::array<uint32_t, kWideBlock + 1> kHashPowers = MakeHashPowers();

// The definition, one multiply-add per byte: the reference the other forms
// are checked and timed against.
inline int32_t HashBytesSerial(const void* bytes, std::size_t length) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  uint32_t h = kHashStart;
  for (std::size_t i = 0; i < length; ++i) h = h * kHashMultiplier + p[i];
  return static_cast<int32_t>(h & kHashMask);
}

inline int32_t HashBytesBlocked(const void* bytes, std::size_t length) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  uint32_t h = kHashStart;
  std::size_t i = 0;
  for (; i + kHashBlock <= length; i += kHashBlock) {
    uint32_t sum = h * kHashPowers[kHashBlock];
    for (int j = 0; j < kHashBlock; ++j) sum += p[i + j] * kHashPowers[kHashBlock - 1 - j];
    h = sum;
  }
  for (; i < length; ++i) h = h * kHashMultiplier + p[i];
  return static_cast<int32_t>(h & kHashMask);
}

// The same sum sixteen bytes at a time in AVX2 lanes: the bytes widened to
// 32 bits, multiplied by M^15 .. M^0 in one step, the lanes added up. Only
// for processors that have AVX2 (the caller checks); the last bytes go
// four and then one at a time.

// Lane j of a block holds byte j, so it takes M^(15 - j).
alignas(32) inline constexpr uint32_t kLaneWeights[kWideBlock] = {
    kHashPowers[15], kHashPowers[14], kHashPowers[13], kHashPowers[12], kHashPowers[11], kHashPowers[10],
    kHashPowers[9],  kHashPowers[8],  kHashPowers[7],  kHashPowers[6],  kHashPowers[5],  kHashPowers[4],
    kHashPowers[3],  kHashPowers[2],  kHashPowers[1],  kHashPowers[0]};

[[gnu::target("avx2")]] inline int32_t HashBytesAvx2(const void* bytes, std::size_t length) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  const __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneWeights));
  const __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(kLaneWeights + 8));
  uint32_t h = kHashStart;
  std::size_t i = 0;
  for (; i + kWideBlock <= length; i += kWideBlock) {
    const __m256i a = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + i)));
    const __m256i b = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + i + 8)));
    const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(a, low), _mm256_mullo_epi32(b, high));
    __m128i t = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
    t = _mm_add_epi32(t, _mm_shuffle_epi32(t, 0x4E));
    t = _mm_add_epi32(t, _mm_shuffle_epi32(t, 0xB1));
    h = h * kHashPowers[kWideBlock] + static_cast<uint32_t>(_mm_cvtsi128_si32(t));
  }
  for (; i + 4 <= length; i += 4)
    h = h * kHashPowers[4] + p[i] * kHashPowers[3] + p[i + 1] * kHashPowers[2] + p[i + 2] * kHashPowers[1] + p[i + 3];
  for (; i < length; ++i) h = h * kHashMultiplier + p[i];
  return static_cast<int32_t>(h & kHashMask);
}

// --- bucket index: a precomputed reciprocal instead of a division -------------
// For 32-bit h and d, h mod d = ((m * h mod 2^64) * d) >> 64 with
// m = floor((2^64 - 1) / d) + 1: two multiplications instead of a division.
__extension__ typedef unsigned __int128 Uint128;

class FastModulo {
 public:
  explicit FastModulo(uint32_t divisor)
      : divisor_(divisor), multiplier_(UINT64_C(0xFFFFFFFFFFFFFFFF) / divisor + 1) {}
  uint32_t Of(uint32_t h) const {
    const uint64_t low = multiplier_ * h;
    return static_cast<uint32_t>((static_cast<Uint128>(low) * divisor_) >> 64);
  }

 private:
  uint64_t divisor_;
  uint64_t multiplier_;
};

}  // namespace hb::bench
