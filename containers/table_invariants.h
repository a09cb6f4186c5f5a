// The table invariants of ordered_table.h, checked in code: compiled in when
// HASHBENCH_TABLE_CHECKS is defined (the CMake option of that name: on in
// Debug builds and in the test builds, off in Release and the benchmarks),
// compiled out otherwise. A broken invariant ends the process at once with one
// line on standard error.
//
// Each operation checks in time of the order of its own work, so that the
// checks do not make a long run of operations quadratic:
//   - Insert of a new key: count within bounds; the new entry heads the chain
//     of its bucket and points below itself.
//   - RemoveAt: count within bounds; the chain of the removed entry's bucket
//     falls and holds only entries of that bucket; every moved entry points
//     below itself and its chain head lies at or above it, below count; the
//     freed slot holds a blank.
//   - Create, growth and Clear (which touch every bucket anyway), and a
//     RemoveAt that passed over all buckets: the whole table. Every chain
//     falls, every live entry is in exactly its bucket's chain, count <=
//     threshold (one more at the largest bucket count), the slots behind
//     count hold blanks (or nothing, where memory ran out).
#pragma once

#include <cstdint>

#include "containers/capacity.h"
#include "containers/growth_limit.h"

namespace hb {

#if defined(HASHBENCH_TABLE_CHECKS)
inline constexpr bool kCheckTables = true;
#else
inline constexpr bool kCheckTables = false;
#endif

// Writes "hashbench: container table broken: <invariant> (at <where>)" to
// standard error and aborts.
[[noreturn]] void TableInvariantBroken(const char* invariant, int32_t where) noexcept;

template <class Table>
struct TableInvariants {
  using Entry = typename Table::Entry;

  static void Whole(const Table& t) noexcept {
    Count(t);
    if (t.capacity == 0) return;  // creation ran out of memory: no buckets
    Holds(t.threshold == ThresholdFor(t.capacity), "threshold = round(0.75 * capacity)", t.threshold);
    Holds(t.reciprocal == BucketReciprocal(t.capacity), "reciprocal of the capacity", t.capacity);
    Holds(t.buckets.UpperBound() == t.capacity - 1, "one bucket per capacity", t.buckets.UpperBound());
    Holds(t.entries.UpperBound() >= t.threshold, "entry slots up to the threshold", t.entries.UpperBound());
    int32_t reached = 0;
    for (int32_t b = 0; b < t.capacity; ++b) reached += Chain(t, b);
    // Falling chains visit an entry once each, and only in its own bucket's
    // chain: reaching count entries means reaching every live one once.
    Holds(reached == t.count, "every live entry in exactly one chain", reached);
    for (int32_t i = t.count; i <= t.entries.UpperBound(); ++i) Blank(t, i);
  }

  // After Insert stored a new key in bucket `b`.
  static void Appended(const Table& t, int32_t b) noexcept {
    Count(t);
    const int32_t index = t.count - 1;
    Holds(t.buckets[b] == t.count, "a new entry heads its chain", index);
    Holds(At(t, index)->GetNext() < index, "chains point downwards", index);
    Holds(BucketOf(At(t, index)->GetHash(), t.capacity, t.reciprocal) == b, "a new entry in its bucket", index);
  }

  // After RemoveAt took out entry `index`, which hashed to bucket `b`.
  static void Removed(const Table& t, int32_t index, int32_t b) noexcept {
    Count(t);
    Chain(t, b);
    for (int32_t j = index; j < t.count; ++j) {
      Entry* moved = At(t, j);
      Holds(moved != nullptr && moved->GetNext() < j, "chains point downwards", j);
      const int32_t head = t.buckets[BucketOf(moved->GetHash(), t.capacity, t.reciprocal)] - 1;
      Holds(head >= j && head < t.count, "a moved entry's chain head at or above it", j);
    }
    if (t.count <= t.entries.UpperBound()) Blank(t, t.count);
  }

  // The bucket of an entry about to be removed.
  static int32_t BucketOfEntry(const Table& t, int32_t index) noexcept {
    return BucketOf(At(t, index)->GetHash(), t.capacity, t.reciprocal);
  }

 private:
  static Entry* At(const Table& t, int32_t index) noexcept { return static_cast<Entry*>(t.entries[index].Get()); }

  static void Holds(bool holds, const char* invariant, int32_t where) noexcept {
    if (!holds) TableInvariantBroken(invariant, where);
  }

  // count <= threshold; one more only at the largest bucket count, where the
  // slot at the threshold takes a last key (growth_limit.h).
  static void Count(const Table& t) noexcept {
    Holds(t.count >= 0, "count >= 0", t.count);
    Holds(t.count <= t.threshold || (t.count == t.threshold + 1 && GrownBucketCount(t.capacity) == t.capacity),
          "count <= threshold", t.count);
  }

  // Walks the chain of bucket `b`: indices fall below count, each entry's
  // hash places it in `b`. Returns the number of entries on it.
  static int32_t Chain(const Table& t, int32_t b) noexcept {
    int32_t length = 0;
    int32_t above = t.count;
    for (int32_t i = t.buckets[b] - 1; i >= 0; i = At(t, i)->GetNext()) {
      Holds(i < above, "chains point downwards, within count", i);
      const int32_t hash = At(t, i)->GetHash();
      Holds(hash >= 0 && BucketOf(hash, t.capacity, t.reciprocal) == b, "an entry in its bucket's chain", i);
      above = i;
      ++length;
    }
    return length;
  }

  static void Blank(const Table& t, int32_t index) noexcept {
    const Entry* entry = At(t, index);
    Holds(entry == nullptr || entry->IsBlank(), "blank entries behind count", index);
  }
};

}  // namespace hb
