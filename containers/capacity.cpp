#include "containers/capacity.h"

#include <cstring>

namespace hb {
namespace {

constexpr int32_t kPrimes[kCapacityPrimeCount] = {
    53,       97,       193,      389,       769,       1543,      3079,      6151,      12289,
    24593,    49157,    98317,    196613,    393241,    786433,    1572869,   3145739,   6291469,
    12582917, 25165843, 50331653, 100663319, 201326611, 402653189, 805306457, 1610612741};

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

}  // namespace

const int32_t* CapacityPrimes() noexcept { return kPrimes; }

int32_t NextPrime(int32_t request) noexcept {
  for (int32_t i = 0; i < kCapacityPrimeCount - 1; ++i) {
    if (request < kPrimes[i]) return kPrimes[i];
  }
  return kPrimes[kCapacityPrimeCount - 1];
}

int32_t HashBytes(const void* bytes, std::size_t length) noexcept {
  const auto* p = static_cast<const unsigned char*>(bytes);
  uint32_t h = kHashStart;
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) h = Step8(h, p + i);
  if (i + 4 <= length) {
    h = Step4(h, p + i);
    i += 4;
  }
  for (; i < length; ++i) h = Step(h, p[i]);
  return static_cast<int32_t>(h & kHashMask);
}

// One pass: blocks of eight bytes while they hold no zero byte, one of four
// when it holds none, then byte by byte up to the first zero or the end.
int32_t HashText(const char* text, std::size_t length) noexcept {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  uint32_t h = kHashStart;
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
  return static_cast<int32_t>(h & kHashMask);
}

int32_t HashDWord(uint32_t key) noexcept {
  uint32_t h = kHashStart;
  for (int shift = 0; shift < 32; shift += 8) h = Step(h, static_cast<unsigned char>(key >> shift));
  return static_cast<int32_t>(h & kHashMask);
}

}  // namespace hb
