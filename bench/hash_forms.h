// Forms of the key hash that the library does not use: the definition, one
// multiply-add per byte, which the library's HashBytes is checked and timed
// against, and an AVX2 form tried out here. kernels_main.cpp checks that every
// form gives the same hashes and times them side by side.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "containers/key_hash.h"

namespace hb::bench {

// h(b0..bn-1) = M^n + sum b_i * M^(n-1-i) (mod 2^32). A block of 16 bytes
// advances h by h * M^16 + sum b_j * M^(15-j): sixteen independent products
// instead of sixteen dependent multiply-adds.
inline constexpr int kWideBlock = 16;

// kHashPowers[k] = M^k.
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

}  // namespace hb::bench
