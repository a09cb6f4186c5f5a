// Bucket counts and the key hash shared by every container.
//
// Bucket counts are primes, each roughly twice the one before, so that a key
// hash taken modulo the count spreads well even when the hash is weak in its
// low bits, and growing one step doubles the table. A container passes its
// current count + 1 when it grows, so it walks this table one step at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hb {

inline constexpr int32_t kCapacityPrimeCount = 26;
inline constexpr uint32_t kHashStart = 1;
inline constexpr uint32_t kHashMultiplier = 1610612741u;  // 0x60000005, also the largest prime
inline constexpr uint32_t kHashMask = 0x7FFFFFFFu;

// The table of bucket counts, ascending, index 0 to 25.
const int32_t* CapacityPrimes() noexcept;

// The smallest of the first 25 primes greater than `request`, else the last
// one (1610612741), also for requests at or above it.
int32_t NextPrime(int32_t request) noexcept;

// h = 1; for each byte: h = h * 1610612741 + byte (mod 2^32); h & 0x7FFFFFFF.
int32_t HashBytes(const void* bytes, std::size_t length) noexcept;

// Hash of a text key: its bytes up to, not including, the first zero byte.
int32_t HashText(const char* text, std::size_t length) noexcept;

// Hash of a 32-bit key: its four bytes, least significant first.
int32_t HashDWord(uint32_t key) noexcept;

}  // namespace hb
