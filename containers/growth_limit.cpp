#include "containers/growth_limit.h"

#include <utility>

#include "containers/capacity.h"

namespace hb {
namespace {

int32_t g_largestBucketCount = kLargestCapacityPrime;

}  // namespace

int32_t GrownBucketCount(int32_t capacity) noexcept {
  const int32_t next = NextPrime(capacity + 1);
  if (capacity > 0 && next > g_largestBucketCount) return capacity;
  return next;
}

ScopedBucketCountLimit::ScopedBucketCountLimit(int32_t largest) noexcept
    : saved_(std::exchange(g_largestBucketCount, largest)) {}

ScopedBucketCountLimit::~ScopedBucketCountLimit() { g_largestBucketCount = saved_; }

}  // namespace hb
