// Bucket counts shared by every container.
//
// Bucket counts are primes, each roughly twice the one before, so that a key
// hash (key_hash.h) taken modulo the count spreads well even when the hash is
// weak in its low bits, and growing one step doubles the table. A container
// passes its current count + 1 when it grows, so it walks this table one step
// at a time.
#pragma once

#include <cstdint>

#include "containers/key_hash.h"  // the hashes that BucketOf places

namespace hb {

inline constexpr int32_t kCapacityPrimeCount = 26;
inline constexpr int32_t kLargestCapacityPrime = 1610612741;  // also the hash multiplier

// The table of bucket counts, ascending, index 0 to 25.
const int32_t* CapacityPrimes() noexcept;

// The smallest of the first 25 primes greater than `request`, else the last
// one (kLargestCapacityPrime), also for requests at or above it.
int32_t NextPrime(int32_t request) noexcept;

// The bucket of a hash, hash mod prime, by two multiplications with the
// prime's reciprocal instead of a division (which costs an order of
// magnitude more and sits in every removal's renumbering loop).
//
// reciprocal = ceil(2^64 / d) = floor((2^64 - 1) / d) + 1 for a d that is not
// a power of two. Why the result is exact for every 32-bit a and d: write
// reciprocal = (2^64 + e) / d with 0 <= e < d, and a = q d + r. Then
// reciprocal * a = q 2^64 + (2^64 r + e a) / d, where the second term is an
// integer below 2^64 (e a < 2^64 because e < 2^32 and a < 2^32), so it is the
// product taken mod 2^64: f = (2^64 r + e a) / d. Finally f d / 2^64 =
// r + e a / 2^64, whose integer part is r.
constexpr uint64_t BucketReciprocal(int32_t prime) noexcept {
  return UINT64_MAX / static_cast<uint32_t>(prime) + 1;
}
// floor(f * d / 2^64): the high half of one 64 x 64-bit product.
constexpr int32_t BucketOf(int32_t hash, int32_t prime, uint64_t reciprocal) noexcept {
  __extension__ using Wide = unsigned __int128;
  const uint64_t f = reciprocal * static_cast<uint32_t>(hash);
  return static_cast<int32_t>((static_cast<Wide>(f) * static_cast<uint32_t>(prime)) >> 64);
}

}  // namespace hb
