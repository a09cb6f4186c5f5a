#include "containers/capacity.h"

#include <gtest/gtest.h>

#include <vector>

#include "containers/key_hash.h"

namespace hb::test {
namespace {

TEST(NextPrime, SmallestGreaterPrimeOrTheLast) {
  struct Case {
    int32_t request, want;
  };
  const Case kCases[] = {
      {0, 53},
      {52, 53},
      {-5, 53},
      {INT32_MIN, 53},
      {53, 97},
      {96, 97},
      {97, 193},
      {805306456, 805306457},
      {805306457, 1610612741},
      {1610612740, 1610612741},
      {1610612741, 1610612741},
      {2147483647, 1610612741},
  };
  for (const Case& c : kCases) EXPECT_EQ(NextPrime(c.request), c.want) << "request " << c.request;
}

TEST(NextPrime, GrowingWalksTheWholeTableOneStepAtATime) {
  const int32_t* primes = CapacityPrimes();
  int32_t buckets = NextPrime(0);
  for (int32_t i = 0; i < kCapacityPrimeCount; ++i) {
    EXPECT_EQ(buckets, primes[i]) << "step " << i;
    buckets = NextPrime(buckets + (i + 1 < kCapacityPrimeCount ? 1 : 0));
  }
}

TEST(CapacityPrimes, AscendingPrimesEndingWithTheHashMultiplier) {
  const int32_t* primes = CapacityPrimes();
  for (int32_t i = 0; i < kCapacityPrimeCount; ++i) {
    for (int64_t d = 2; d * d <= primes[i]; ++d) ASSERT_NE(primes[i] % d, 0) << primes[i] << " / " << d;
    if (i > 0) {
      EXPECT_GT(primes[i], primes[i - 1]);
    }
  }
  EXPECT_EQ(static_cast<uint32_t>(primes[kCapacityPrimeCount - 1]), kHashMultiplier);
}

// The reciprocal form must equal the division for every stored hash (0 to
// 0x7FFFFFFF) and every bucket count: the edges around each multiple of the
// prime near both ends of the range, and a pseudo-random sweep between.
TEST(BucketOf, EqualsTheRemainderForEveryPrime) {
  const int32_t* primes = CapacityPrimes();
  for (int32_t i = 0; i < kCapacityPrimeCount; ++i) {
    const int32_t p = primes[i];
    const uint64_t reciprocal = BucketReciprocal(p);
    std::vector<int32_t> hashes = {0, 1, p - 1, p, p + 1, INT32_MAX, INT32_MAX - 1};
    const int32_t top = INT32_MAX / p * p;
    for (int32_t d = -2; d <= 2; ++d) hashes.push_back(top + d);
    uint32_t x = 12345u + static_cast<uint32_t>(i);
    for (int k = 0; k < 200000; ++k) {
      x = x * 1664525u + 1013904223u;
      hashes.push_back(static_cast<int32_t>(x & 0x7FFFFFFFu));
    }
    int mismatches = 0;
    for (const int32_t h : hashes) {
      if (h < 0) continue;
      if (BucketOf(h, p, reciprocal) != h % p && ++mismatches <= 3) {
        ADD_FAILURE() << "hash " << h << " prime " << p << ": " << BucketOf(h, p, reciprocal);
      }
    }
  }
}

}  // namespace
}  // namespace hb::test
