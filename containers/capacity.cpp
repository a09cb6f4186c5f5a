#include "containers/capacity.h"

#include <cstring>

namespace hb {
namespace {

constexpr int32_t kPrimes[kCapacityPrimeCount] = {
    53,       97,       193,      389,       769,       1543,      3079,      6151,      12289,
    24593,    49157,    98317,    196613,    393241,    786433,    1572869,   3145739,   6291469,
    12582917, 25165843, 50331653, 100663319, 201326611, 402653189, 805306457, 1610612741};

constexpr uint32_t Step(uint32_t h, unsigned char byte) { return h * kHashMultiplier + byte; }

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
  for (std::size_t i = 0; i < length; ++i) h = Step(h, p[i]);
  return static_cast<int32_t>(h & kHashMask);
}

int32_t HashText(const char* text, std::size_t length) noexcept {
  const void* zero = length == 0 ? nullptr : std::memchr(text, 0, length);
  if (zero != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
  return HashBytes(text, length);
}

int32_t HashDWord(uint32_t key) noexcept {
  uint32_t h = kHashStart;
  for (int shift = 0; shift < 32; shift += 8) h = Step(h, static_cast<unsigned char>(key >> shift));
  return static_cast<int32_t>(h & kHashMask);
}

}  // namespace hb
