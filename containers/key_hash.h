// The key hash shared by every container: one multiplicative byte hash.
//
// Text keys hash their bytes up to the first zero byte, 32-bit keys their four
// bytes, least significant first. A container hashes a key once per operation
// and stores the hash in its entry; growing reuses the stored hashes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hb {

inline constexpr uint32_t kHashStart = 1;
inline constexpr uint32_t kHashMultiplier = 1610612741u;  // 0x60000005, also the largest capacity prime
inline constexpr uint32_t kHashMask = 0x7FFFFFFFu;

// h = 1; for each byte: h = h * 1610612741 + byte (mod 2^32); h & 0x7FFFFFFF.
int32_t HashBytes(const void* bytes, std::size_t length) noexcept;

// Hash of a text key: its bytes up to, not including, the first zero byte.
int32_t HashText(const char* text, std::size_t length) noexcept;

// Hash of a 32-bit key: its four bytes, least significant first.
int32_t HashDWord(uint32_t key) noexcept;

}  // namespace hb
