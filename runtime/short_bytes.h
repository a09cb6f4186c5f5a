// Copying and comparing short byte runs (1 to 32 bytes) inline.
//
// Every run is cut the same way: 16-byte pieces from the start while 16 or
// more bytes remain, then one piece of 8, 4, 2 and 1 bytes each as the rest
// of the length calls for (20 bytes: 16 + 4; 13 bytes: 8 + 4 + 1). Strings
// are often read right after they were written (a key copied out of a table
// and hashed and compared at once), and a read is only quick while the write
// it depends on is still pending when the read lies within that one write.
// Writing and reading with the same cuts keeps every read inside one write;
// overlapping pieces would straddle two and stall each read until both
// writes have left the processor.
//
// Readers elsewhere (the key hash) follow the same cuts, or read single bytes.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hb::short_bytes {

inline constexpr uint32_t kLongest = 32;

namespace detail {

template <class Word>
inline void MoveWord(char* to, const char* from) noexcept {
  Word word;
  std::memcpy(&word, from, sizeof word);
  std::memcpy(to, &word, sizeof word);
}

template <class Word>
inline uint64_t WordDifference(const char* x, const char* y) noexcept {
  Word u;
  Word v;
  std::memcpy(&u, x, sizeof u);
  std::memcpy(&v, y, sizeof v);
  return static_cast<uint64_t>(u ^ v);
}

inline void Move16(char* to, const char* from) noexcept {
#if defined(__SSE2__)
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
#else
  MoveWord<uint64_t>(to, from);
  MoveWord<uint64_t>(to + 8, from + 8);
#endif
}

// Nonzero when the 16 bytes differ.
inline uint64_t Difference16(const char* x, const char* y) noexcept {
#if defined(__SSE2__)
  const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x));
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
  return static_cast<uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(u, v)) ^ 0xFFFF);
#else
  return WordDifference<uint64_t>(x, y) | WordDifference<uint64_t>(x + 8, y + 8);
#endif
}

}  // namespace detail

// Copies `length` (0 to 32) bytes; the two runs must not overlap.
inline void Copy(char* to, const char* from, uint32_t length) noexcept {
  uint32_t at = 0;
  for (; length - at >= 16; at += 16) detail::Move16(to + at, from + at);
  const uint32_t rest = length - at;
  if (rest & 8) {
    detail::MoveWord<uint64_t>(to + at, from + at);
    at += 8;
  }
  if (rest & 4) {
    detail::MoveWord<uint32_t>(to + at, from + at);
    at += 4;
  }
  if (rest & 2) {
    detail::MoveWord<uint16_t>(to + at, from + at);
    at += 2;
  }
  if (rest & 1) to[at] = from[at];
}

// Whether the `length` (0 to 32) bytes at x and y are the same.
inline bool Same(const char* x, const char* y, uint32_t length) noexcept {
  uint64_t difference = 0;
  uint32_t at = 0;
  for (; length - at >= 16; at += 16) difference |= detail::Difference16(x + at, y + at);
  const uint32_t rest = length - at;
  if (rest & 8) {
    difference |= detail::WordDifference<uint64_t>(x + at, y + at);
    at += 8;
  }
  if (rest & 4) {
    difference |= detail::WordDifference<uint32_t>(x + at, y + at);
    at += 4;
  }
  if (rest & 2) {
    difference |= detail::WordDifference<uint16_t>(x + at, y + at);
    at += 2;
  }
  if (rest & 1) difference |= static_cast<uint64_t>(x[at] != y[at]);
  return difference == 0;
}

// Whether the `length` (0 to 32) bytes at x and y are the same, read in at
// most two overlapping pieces per run: 16 to 32 bytes as the first and the
// last 16, 8 to 15 as the first and last 8, 4 to 7 as the first and last 4,
// 1 to 3 as the first, middle and last byte. Fewer reads and tests than Same,
// but a piece may straddle two of the cuts that Copy writes in: for runs that
// were, as a rule, not written just before (a key stored in a table against
// a caller's bytes), where that wait does not come up.
inline bool SameOverlapping(const char* x, const char* y, uint32_t length) noexcept {
  if (length >= 16) {
#if defined(__SSE2__)
    const auto load = [](const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    const __m128i first = _mm_cmpeq_epi8(load(x), load(y));
    const __m128i last = _mm_cmpeq_epi8(load(x + length - 16), load(y + length - 16));
    return _mm_movemask_epi8(_mm_and_si128(first, last)) == 0xFFFF;
#else
    return (detail::Difference16(x, y) | detail::Difference16(x + length - 16, y + length - 16)) == 0;
#endif
  }
  if (length >= 8) {
    const uint32_t back = length - 8;
    return (detail::WordDifference<uint64_t>(x, y) | detail::WordDifference<uint64_t>(x + back, y + back)) == 0;
  }
  if (length >= 4) {
    const uint32_t back = length - 4;
    return (detail::WordDifference<uint32_t>(x, y) | detail::WordDifference<uint32_t>(x + back, y + back)) == 0;
  }
  if (length == 0) return true;
  return x[0] == y[0] && x[length / 2] == y[length / 2] && x[length - 1] == y[length - 1];
}

// Runs of any length: short ones in the pieces above, longer ones by the
// library's memcpy and memcmp. The two runs must not overlap.
inline void CopyRun(char* to, const char* from, uint32_t length) noexcept {
  if (length <= kLongest) {
    Copy(to, from, length);
  } else {
    std::memcpy(to, from, length);
  }
}
inline bool SameRun(const char* x, const char* y, uint32_t length) noexcept {
  if (length > kLongest) return std::memcmp(x, y, length) == 0;
  return Same(x, y, length);
}

}  // namespace hb::short_bytes
