// How far a container may grow.
//
// A full container grows to NextPrime(capacity + 1). At the largest bucket
// count that step gives the same count again, so growth stops there; the
// entry table then has one slot beyond the threshold, which takes one more
// key, and after that Add stores nothing and returns -1.
//
// Tests lower the largest bucket count with ScopedBucketCountLimit so that
// this end of the table can be reached with a few dozen keys.
#pragma once

#include <cstdint>

namespace hb {

// The bucket count a container of `capacity` buckets grows to; `capacity`
// itself when it cannot grow any further. A container being created (capacity
// 0) always gets its first count.
int32_t GrownBucketCount(int32_t capacity) noexcept;

// Threshold of a bucket count: 0.75 * p rounded to the nearest integer. p is
// odd, so 3p/4 ends in .25 or .75 and no tie arises.
constexpr int32_t ThresholdFor(int32_t buckets) noexcept {
  return static_cast<int32_t>((3 * int64_t{buckets} + 2) / 4);
}

// Makes `largest` (a value of CapacityPrimes) the largest bucket count that
// containers grow to while the scope lasts. Test seam; not thread-safe.
class ScopedBucketCountLimit {
 public:
  explicit ScopedBucketCountLimit(int32_t largest) noexcept;
  ~ScopedBucketCountLimit();
  ScopedBucketCountLimit(const ScopedBucketCountLimit&) = delete;
  ScopedBucketCountLimit& operator=(const ScopedBucketCountLimit&) = delete;

 private:
  int32_t saved_;
};

}  // namespace hb
