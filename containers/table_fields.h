// The fields of a container, in the two orders the classes declare them:
// the bag puts capacity before threshold, the maps threshold before capacity.
// The table core (ordered_table.h) reaches them by name, so both orders share
// its code; a container class names its order once (see ordered_keys.h).
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/ref.h"

namespace hb {

// The fields that come first in both orders.
template <class EntryClass>
struct TableStart {
  using Entry = EntryClass;  // a final entry class (calls on it devirtualize)
  using Key = typename Entry::Key;

  Array<Ref<typename Entry::Interface>> entries;  // 0..threshold: live [0, count), then blanks
  Array<int32_t> buckets;                         // 0..capacity-1: 1 + chain head, 0 = empty
  int32_t count = 0;                              // stored keys
};

template <class EntryClass>
struct CapacityBeforeThreshold : TableStart<EntryClass> {
  int32_t capacity = 0;     // bucket count, a capacity prime
  int32_t threshold = 0;    // round(0.75 * capacity); grow when count reaches it
  int32_t lastHash = 0;     // Locate's hash, consumed by Insert
  uint64_t reciprocal = 0;  // BucketReciprocal(capacity)
};

template <class EntryClass>
struct ThresholdBeforeCapacity : TableStart<EntryClass> {
  int32_t threshold = 0;
  int32_t capacity = 0;
  int32_t lastHash = 0;
  uint64_t reciprocal = 0;
};

}  // namespace hb
