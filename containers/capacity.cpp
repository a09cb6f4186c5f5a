#include "containers/capacity.h"

namespace hb {
namespace {

constexpr int32_t kPrimes[kCapacityPrimeCount] = {
    53,       97,       193,      389,       769,       1543,      3079,      6151,      12289,
    24593,    49157,    98317,    196613,    393241,    786433,    1572869,   3145739,   6291469,
    12582917, 25165843, 50331653, 100663319, 201326611, 402653189, 805306457, kLargestCapacityPrime};

}  // namespace

const int32_t* CapacityPrimes() noexcept { return kPrimes; }

int32_t NextPrime(int32_t request) noexcept {
  for (int32_t i = 0; i < kCapacityPrimeCount - 1; ++i) {
    if (request < kPrimes[i]) return kPrimes[i];
  }
  return kPrimes[kCapacityPrimeCount - 1];
}

}  // namespace hb
