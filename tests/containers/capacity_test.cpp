#include "containers/capacity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace hb::test {
namespace {

using namespace std::string_literals;

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

TEST(HashBytes, MultiplicativeHashOfKeyBytes) {
  struct Case {
    std::string bytes;
    int32_t want;
  };
  const Case kCases[] = {
      {"", 1},
      {"a", 1610612838},
      {"abc", 536874051},
      {"\0\0\0\0"s, 625},
      {"\x01\0\0\0"s, 536871662},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(HashBytes(c.bytes.data(), c.bytes.size()), c.want) << "'" << c.bytes << "'";
  }
}

TEST(HashText, StopsAtTheFirstZeroByte) {
  struct Case {
    std::string text;
    int32_t want;
  };
  const Case kCases[] = {
      {"", 1}, {"abc", 536874051}, {"abc\0xyz"s, 536874051}, {"\0abc"s, 1}, {"\xFF\x80"s, HashBytes("\xFF\x80", 2)},
  };
  for (const Case& c : kCases) EXPECT_EQ(HashText(c.text.data(), c.text.size()), c.want) << "'" << c.text << "'";
  EXPECT_EQ(HashText(nullptr, 0), 1);
}

TEST(HashDWord, FourBytesLeastSignificantFirst) {
  struct Case {
    uint32_t key;
    int32_t want;
  };
  const Case kCases[] = {
      {0, 625},
      {1, 536871662},
      {0x04030201u, HashBytes("\x01\x02\x03\x04", 4)},
      {0xFFFFFFFFu, HashBytes("\xFF\xFF\xFF\xFF", 4)},
  };
  for (const Case& c : kCases) EXPECT_EQ(HashDWord(c.key), c.want) << "key " << c.key;
}

// The hash takes several bytes per step; it must equal the byte-at-a-time
// definition for every length and every alignment of the bytes.
TEST(HashBytes, EqualsTheByteLoopAtEveryLengthAndOffset) {
  unsigned char bytes[80];
  uint32_t seed = 12345;
  for (unsigned char& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<unsigned char>(seed >> 23);
  }
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t length = 0; length + offset <= sizeof bytes; ++length) {
      uint32_t h = 1;
      for (std::size_t i = 0; i < length; ++i) h = h * 1610612741u + bytes[offset + i];
      ASSERT_EQ(HashBytes(bytes + offset, length), static_cast<int32_t>(h & 0x7FFFFFFFu))
          << "length " << length << " offset " << offset;
    }
  }
  // HashText stops at the first zero byte wherever it falls.
  for (std::size_t zero = 0; zero < 40; ++zero) {
    unsigned char text[48];
    for (std::size_t i = 0; i < sizeof text; ++i) text[i] = bytes[i] == 0 ? 1 : bytes[i];
    text[zero] = 0;
    text[zero + 3] = 0;
    for (std::size_t length = 0; length <= sizeof text; ++length) {
      const auto* chars = reinterpret_cast<const char*>(text);
      ASSERT_EQ(HashText(chars, length), HashBytes(text, std::min(length, zero)))
          << "length " << length << " zero at " << zero;
    }
  }
}

}  // namespace
}  // namespace hb::test
