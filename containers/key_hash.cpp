#include "containers/key_hash.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hb {
namespace {

constexpr uint32_t Step(uint32_t h, unsigned char byte) { return h * kHashMultiplier + byte; }

// Powers of the multiplier, M^0 to M^8, modulo 2^32.
constexpr uint32_t kM1 = kHashMultiplier;
constexpr uint32_t kM2 = kM1 * kM1;
constexpr uint32_t kM3 = kM2 * kM1;
constexpr uint32_t kM4 = kM2 * kM2;
constexpr uint32_t kM5 = kM4 * kM1;
constexpr uint32_t kM6 = kM4 * kM2;
constexpr uint32_t kM7 = kM4 * kM3;
constexpr uint32_t kM8 = kM4 * kM4;

// Eight Steps at once: h * M^8 + p0 * M^7 + ... + p6 * M + p7, the same value
// modulo 2^32. The byte products depend neither on h nor on each other, so
// they overlap; only one multiply per eight bytes waits for the block before,
// instead of one per byte.
constexpr uint32_t Step8(uint32_t h, const unsigned char* p) {
  const uint32_t high = p[0] * kM7 + p[1] * kM6 + p[2] * kM5 + p[3] * kM4;
  const uint32_t low = p[4] * kM3 + p[5] * kM2 + p[6] * kM1 + p[7];
  return h * kM8 + high + low;
}

// Whether any of the eight bytes is zero (exact: a borrow into a byte's top
// bit happens only below a zero byte).
constexpr bool HasZeroByte(uint64_t block) {
  return ((block - 0x0101010101010101u) & ~block & 0x8080808080808080u) != 0;
}

constexpr bool HasZeroByte4(uint32_t block) {
  return ((block - 0x01010101u) & ~block & 0x80808080u) != 0;
}

constexpr uint32_t Step4(uint32_t h, const unsigned char* p) {
  return h * kM4 + (p[0] * kM3 + p[1] * kM2) + (p[2] * kM1 + p[3]);
}

// h continued over `length` bytes: blocks of eight, one of four, then byte
// by byte. Bytes are read one at a time, so every read lies within one of
// the pieces a short string was written in (runtime/short_bytes.h).
uint32_t ContinueBytes(uint32_t h, const unsigned char* p, std::size_t length) {
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) h = Step8(h, p + i);
  if (i + 4 <= length) {
    h = Step4(h, p + i);
    i += 4;
  }
  for (; i < length; ++i) h = Step(h, p[i]);
  return h;
}

// The same up to the first zero byte. The zero tests read blocks of eight
// and four bytes at the same offsets as the pieces of a short string.
uint32_t ContinueText(uint32_t h, const unsigned char* p, std::size_t length) {
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t block;
    std::memcpy(&block, p + i, sizeof block);
    if (HasZeroByte(block)) break;
    h = Step8(h, p + i);
  }
  if (i + 4 <= length) {
    uint32_t block;
    std::memcpy(&block, p + i, sizeof block);
    if (!HasZeroByte4(block)) {
      h = Step4(h, p + i);
      i += 4;
    }
  }
  for (; i < length && p[i] != 0; ++i) h = Step(h, p[i]);
  return h;
}

#if defined(__SSE2__)

// Sixteen bytes at a time in SSE2 lanes.
//
// A block of 16 bytes advances h to h * M^16 + sum b_j * M^(15 - j). The
// lanes hold the bytes widened to 16 bits, and a 32-bit weight w splits into
// halves, w = lo + 2^16 hi, so that b * w = b * lo + 2^16 (b * hi) modulo
// 2^32. Both halves go through the signed 16 x 16 -> 32-bit multiply-add
// (pmaddwd): a half of 2^15 or more reads as half - 2^16 there, which the low
// half pays back by adding 1 to its high half (b * 2^16 is exactly what it
// lost) and which does not matter for the high half, whose sum only counts
// modulo 2^16.
struct LaneWeights {
  alignas(16) int16_t low[16];
  alignas(16) int16_t high[16];
};

constexpr int16_t AsSigned(uint32_t half) {
  return static_cast<int16_t>(half >= 0x8000u ? static_cast<int32_t>(half) - 0x10000 : static_cast<int32_t>(half));
}

constexpr LaneWeights MakeLaneWeights() {
  LaneWeights weights{};
  uint32_t w = 1;  // M^(15 - j), from the last lane back
  for (int j = 15; j >= 0; --j) {
    const uint32_t low = w & 0xFFFFu;
    const uint32_t high = ((w >> 16) + (low >= 0x8000u ? 1u : 0u)) & 0xFFFFu;
    weights.low[j] = AsSigned(low);
    weights.high[j] = AsSigned(high);
    w *= kHashMultiplier;
  }
  return weights;
}

constexpr LaneWeights kLaneWeights = MakeLaneWeights();
constexpr uint32_t kM16 = kM8 * kM8;

inline __m128i Load16(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// sum b_j * M^(15 - j) over the block's bytes, modulo 2^32.
inline uint32_t WeighBlock(__m128i block) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i first = _mm_unpacklo_epi8(block, zero);
  const __m128i second = _mm_unpackhi_epi8(block, zero);
  const auto* low = reinterpret_cast<const __m128i*>(kLaneWeights.low);
  const auto* high = reinterpret_cast<const __m128i*>(kLaneWeights.high);
  const __m128i lows = _mm_add_epi32(_mm_madd_epi16(first, _mm_load_si128(low)),
                                     _mm_madd_epi16(second, _mm_load_si128(low + 1)));
  const __m128i highs = _mm_add_epi32(_mm_madd_epi16(first, _mm_load_si128(high)),
                                      _mm_madd_epi16(second, _mm_load_si128(high + 1)));
  __m128i total = _mm_add_epi32(lows, _mm_slli_epi32(highs, 16));
  total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(1, 0, 3, 2)));
  total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(total));
}

inline bool BlockHasZeroByte(__m128i block) {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128())) != 0;
}

#endif  // __SSE2__

}  // namespace

int32_t HashBytes(const void* bytes, std::size_t length) noexcept {
  const auto* p = static_cast<const unsigned char*>(bytes);
  uint32_t h = kHashStart;
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= length; i += 16) h = h * kM16 + WeighBlock(Load16(p + i));
#endif
  return static_cast<int32_t>(ContinueBytes(h, p + i, length - i) & kHashMask);
}

// Blocks of sixteen bytes up to the one that holds a zero byte; the rest
// up to the zero in smaller steps.
int32_t HashText(const char* text, std::size_t length) noexcept {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  uint32_t h = kHashStart;
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= length; i += 16) {
    const __m128i block = Load16(p + i);
    if (BlockHasZeroByte(block)) break;
    h = h * kM16 + WeighBlock(block);
  }
#endif
  return static_cast<int32_t>(ContinueText(h, p + i, length - i) & kHashMask);
}

int32_t HashDWord(uint32_t key) noexcept {
  uint32_t h = kHashStart;
  for (int shift = 0; shift < 32; shift += 8) h = Step(h, static_cast<unsigned char>(key >> shift));
  return static_cast<int32_t>(h & kHashMask);
}

}  // namespace hb
