// The table mechanics shared by the four containers: an insertion-ordered,
// index-chained hash table of pre-created entry objects.
//
//   entries  [0 ........ count-1][count ....... threshold]
//             live, in the order    blank entry objects
//             their keys came       waiting for Add
//   buckets  [0 ... capacity-1]   1 + index of the chain head, 0 = empty bucket
//   entry    hash (stored once, never recomputed), key, [value], next
//            next = index of the following entry of the chain, -1 ends it
//
// Invariants between calls (checked in code in test builds, table_invariants.h):
//   - live keys are distinct; live entry i sits in the chain of bucket
//     hash(i) mod capacity, and in no other;
//   - within a chain indices fall: next < own index. Insert links the new
//     (highest) entry at the head and Resize relinks in ascending order, so
//     RemoveAt can renumber by "lower every index above the removed one";
//   - count <= threshold < capacity, threshold = round(0.75 * capacity);
//     the one exception is the largest bucket count (see growth_limit.h);
//   - a slot at or above count holds a blank entry, or nothing when memory
//     ran out while it was being made; Insert then makes it on demand.
//   - lastHash: Locate leaves its key's hash there, Insert consumes it and
//     sets it back to 0.
//
// TableCore<Table> is a set of free operations over a container's fields
// (table_fields.h: entries, buckets, count, capacity, threshold, lastHash,
// reciprocal = BucketReciprocal(capacity)), which it reaches by name, so each
// container keeps its own field order. Table supplies
//   using Entry = ...;   a final entry class (calls on it devirtualize)
//   using Key = ...;     DynString or uint32_t
// and Entry (a KeyedEntry, keyed_entry.h, made with its CreateInto: no lookup
// by name per entry) supplies GetHash/SetHash/GetNext/SetNext, HashOf(key),
// HoldsKey(key) (no copy; for text keys also given as std::string_view), Fill(key, value...), IsBlank() and, for maps,
// ReplaceValue(value); Fill and ReplaceValue return false and change
// nothing when memory runs out.
//
// Memory: Insert returns -1 and leaves the table as it was when it cannot
// get the memory it needs (a larger table, a blank entry, a copy of the key
// or value); no operation crashes or loses a stored key because of it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "containers/branch_free.h"
#include "containers/capacity.h"
#include "containers/growth_limit.h"
#include "containers/table_invariants.h"
#include "containers/table_view.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/ref.h"

namespace hb {

// Add and SetItem's result when nothing could be stored.
inline constexpr int32_t kNothingStored = -1;

// Removals that move this many entries or more renumber the bucket heads by
// one pass over all buckets; fewer moved entries are fixed up one by one.
// Both give the same table. Why 1000: it is the fixed switch that the
// program's removal passes are timed with, so it is not scaled to the table.
inline constexpr int32_t kFullRenumberThreshold = 1000;

template <class Table>
struct TableCore {
  using Entry = typename Table::Entry;
  using Key = typename Table::Key;
  // The table holds entries by their interface; the concrete class is a
  // static_cast away, and calls on it bind directly.
  using Slot = Ref<typename Entry::Interface>;
  using Invariants = TableInvariants<Table>;
  static Entry* At(const Table& t, int32_t index) noexcept {
    return static_cast<Entry*>(t.entries[index].Get());
  }

  // The creation hook: 53 buckets, threshold 40, blanks at 0 to 40.
  static void Create(Table& t) noexcept {
    t.threshold = -1;
    Resize(t, NextPrime(0));
    if constexpr (kCheckTables) Invariants::Whole(t);
  }

  // Index of `key`, -1 when absent. Hashes the key once into lastHash;
  // compares the stored hash before the key. `key` is a Key, or a text key's
  // bytes as a std::string_view (the entry hashes and compares both alike),
  // which needs no copy and so no memory.
  template <class Probe>
  static int32_t Locate(Table& t, const Probe& key) noexcept {
    return Find(t, key).index;
  }

  // Add: the index of the key, whose value (maps) is now `value`; a present
  // key keeps its index and its stored key text. kNothingStored when the
  // table is at its largest or memory ran out; the table is then unchanged.
  // A new key goes into the bucket the lookup found, unless the table grew
  // in between.
  template <class... Value>
  static int32_t Insert(Table& t, const Key& key, const Value&... value) noexcept {
    const Place place = Find(t, key);
    int32_t result = place.index;
    if (place.index >= 0) {
      [[maybe_unused]] Entry* entry = At(t, place.index);
      if (!(... && entry->ReplaceValue(value))) result = kNothingStored;
    } else {
      result = Append(t, place.bucket, key, value...);
    }
    t.lastHash = 0;
    return result;
  }

  // Removes the entry at `index` (ignored outside 0 to count - 1); the
  // entries behind it move down one index in their order. Cost: one move per
  // entry behind, plus a pass over the buckets when kFullRenumberThreshold or
  // more moved.
  static void RemoveAt(Table& t, int32_t index) noexcept {
    if (index < 0 || index >= t.count) return;
    [[maybe_unused]] int32_t bucket = 0;
    if constexpr (kCheckTables) bucket = Invariants::BucketOfEntry(t, index);
    Unlink(t, index);
    // The removed entry gives back its key and value and becomes the new
    // blank, a new entry object in the storage of the old one.
    Slot removed(std::move(t.entries[index]));
    Entry::RemakeInto(removed);
    CloseGapAndRenumberHeads(t, index);
    --t.count;
    t.entries[t.count] = std::move(removed);
    if constexpr (kCheckTables) {
      if (t.count - index >= kFullRenumberThreshold) {
        Invariants::Whole(t);
      } else {
        Invariants::Removed(t, index, bucket);
      }
    }
  }

  // Replaces entries 0 to count by new blanks and empties every bucket.
  // The bucket count, threshold and entry table size stay.
  static void Clear(Table& t) noexcept {
    for (int32_t i = std::min(t.count, t.entries.UpperBound()); i >= 0; --i) CreateBlank(t, i);
    t.buckets.Reset();
    t.count = 0;
    if constexpr (kCheckTables) Invariants::Whole(t);
  }

  // The live entry at `index`, null outside 0 to count - 1.
  static Entry* EntryAt(const Table& t, int32_t index) noexcept {
    return index >= 0 && index < t.count ? At(t, index) : nullptr;
  }

  static TableView View(const Table& t) {
    TableView view;
    view.count = t.count;
    view.capacity = t.capacity;
    view.threshold = t.threshold;
    view.lastHash = t.lastHash;
    view.entriesUpperBound = t.entries.UpperBound();
    for (int32_t b = 0; b < t.capacity; ++b) view.buckets.push_back(t.buckets[b]);
    for (int32_t i = 0; i < t.count; ++i) {
      view.hashes.push_back(At(t, i)->GetHash());
      view.nexts.push_back(At(t, i)->GetNext());
    }
    for (int32_t i = t.count; i <= view.entriesUpperBound; ++i) {
      Entry* entry = At(t, i);
      if (entry == nullptr) {
        ++view.missingBlanks;
      } else if (!entry->IsBlank()) {
        ++view.dirtyBlanks;
      }
    }
    return view;
  }

 private:
  // Where Locate found a key: its index (-1 when absent) and the bucket of
  // its hash (-1 when the table has no buckets: creation ran out of memory).
  struct Place {
    int32_t index;
    int32_t bucket;
  };

  // Locate's work: hashes the key once into lastHash and walks its chain,
  // comparing the stored hash before the key.
  //
  // Whether the head holds another hash is a coin the processor cannot
  // predict: at the loads the table keeps (up to three quarters) about one
  // present key in four sits behind another entry of its chain, and a
  // mispredicted branch throws away the work begun after it. So the first
  // step is a select instead: the walk starts at the head's next entry when
  // the head's hash differs and there is a next one, else at the head, whose
  // slot is then read a second time (from the first-level cache).
  template <class Probe>
  static Place Find(Table& t, const Probe& key) noexcept {
    const int32_t hash = Entry::HashOf(key);
    t.lastHash = hash;
    if (t.capacity == 0) return {-1, -1};
    const int32_t b = BucketOf(hash, t.capacity, t.reciprocal);
    int32_t i = t.buckets[b] - 1;
    if (i < 0) return {-1, b};
    {
      Entry* head = At(t, i);
      const int32_t next = head->GetNext();
      i = branch_free::Select(head->GetHash() != hash && next >= 0, next, i);
    }
    Entry* entry = At(t, i);
    for (;;) {
      if (entry->GetHash() == hash && entry->HoldsKey(key)) return {i, b};
      i = entry->GetNext();
      if (i < 0) return {-1, b};
      entry = At(t, i);
    }
  }

  // Stores an absent key whose hash is in lastHash and whose bucket at the
  // current bucket count is `b` (-1 with no buckets, where the threshold of
  // -1 always makes the table grow first): grows the table one prime step if
  // it is full (the bucket is then taken again), fills the blank entry at
  // count, links it at the head of its chain and returns its index.
  template <class... Value>
  static int32_t Append(Table& t, int32_t b, const Key& key, const Value&... value) noexcept {
    if (t.count >= t.threshold) {
      if (!Grow(t)) return kNothingStored;
      if constexpr (kCheckTables) Invariants::Whole(t);
      b = BucketOf(t.lastHash, t.capacity, t.reciprocal);
    }
    Entry* blank = BlankAt(t, t.count);
    if (blank == nullptr || !blank->Fill(key, value...)) return kNothingStored;
    blank->SetHash(t.lastHash);
    blank->SetNext(t.buckets[b] - 1);
    ++t.count;
    t.buckets[b] = t.count;
    if constexpr (kCheckTables) Invariants::Appended(t, b);
    return t.count - 1;
  }

  // One prime step up. At the largest bucket count the slot at the
  // threshold still takes one key; beyond it there is no room.
  static bool Grow(Table& t) noexcept {
    const int32_t buckets = GrownBucketCount(t.capacity);
    if (buckets > t.capacity) return Resize(t, buckets);
    return t.count <= t.threshold;
  }

  // New bucket count p: longer entry table with blanks from the old
  // threshold + 1, a new zeroed bucket table, chains rebuilt in ascending index order
  // from the stored hashes. False (table unchanged) when memory ran out.
  static bool Resize(Table& t, int32_t p) noexcept {
    const int32_t newThreshold = ThresholdFor(p);
    if (t.entries.UpperBound() < newThreshold) {
      t.entries.DimensionPreserve(0, newThreshold);
      if (t.entries.UpperBound() != newThreshold) return false;
    }
    t.buckets.Redimension(0, p - 1);  // all empty: the chains are rebuilt below
    if (t.buckets.UpperBound() != p - 1) return false;
    Entry::CreateIntoEmpty(t.entries.Data() + (t.threshold + 1), t.entries.Data() + (newThreshold + 1));
    const uint64_t reciprocal = BucketReciprocal(p);
    for (int32_t i = 0; i < t.count; ++i) {
      Entry* entry = At(t, i);
      const int32_t b = BucketOf(entry->GetHash(), p, reciprocal);
      entry->SetNext(t.buckets[b] - 1);
      t.buckets[b] = i + 1;
    }
    t.capacity = p;
    t.reciprocal = reciprocal;
    t.threshold = newThreshold;
    return true;
  }

  // A new blank entry in slot `index`, releasing what was there. The slot
  // stays empty when memory is exhausted.
  static void CreateBlank(Table& t, int32_t index) noexcept {
    Slot blank;
    Entry::CreateInto(blank);
    t.entries[index] = std::move(blank);
  }

  static Entry* BlankAt(Table& t, int32_t index) noexcept {
    if (!t.entries[index]) CreateBlank(t, index);
    return At(t, index);
  }

  // Takes the entry at `index` out of its chain.
  static void Unlink(Table& t, int32_t index) noexcept {
    Entry* removed = At(t, index);
    const int32_t b = BucketOf(removed->GetHash(), t.capacity, t.reciprocal);
    if (t.buckets[b] - 1 == index) {
      t.buckets[b] = removed->GetNext() + 1;
      return;
    }
    for (int32_t j = t.buckets[b] - 1; j >= 0;) {
      Entry* entry = At(t, j);
      if (entry->GetNext() == index) {
        entry->SetNext(removed->GetNext());
        return;
      }
      j = entry->GetNext();
    }
  }

  // Moves the references behind the empty slot `index` down by one in one
  // block (counts unchanged), lowers the links that pointed above it and the
  // bucket heads of the moved entries. Links below `index` stay valid because
  // chains only point downwards. The heads are renumbered entry by entry
  // while fewer than kFullRenumberThreshold entries moved, in the same pass
  // over them as the links; by one pass over all buckets otherwise.
  static void CloseGapAndRenumberHeads(Table& t, int32_t index) noexcept {
    const int32_t last = t.count - 1;
    Slot* slots = t.entries.Data();
    if (last == index) return;  // the last entry: nothing moves, and its slot is empty
    std::memmove(static_cast<void*>(slots + index), static_cast<const void*>(slots + index + 1),
                 static_cast<std::size_t>(last - index) * sizeof(Slot));
    // Slot `last` now duplicates slot last - 1 without a count of its own.
    std::memset(static_cast<void*>(slots + last), 0, sizeof(Slot));
    const int32_t moved = last - index;
    if (moved >= kFullRenumberThreshold) {
      LowerLinks(t, index, last);
      LowerAllHeads(t, index);
      return;
    }
    // Locals, because the stores through entries and buckets could otherwise
    // alias the table's fields and force a reload per entry.
    int32_t* buckets = t.buckets.Data();
    const int32_t capacity = t.capacity;
    const uint64_t reciprocal = t.reciprocal;
#pragma GCC unroll 4
    for (int32_t j = index; j < last; ++j) {
      Entry* entry = static_cast<Entry*>(slots[j].Get());
      entry->SetNext(LoweredAbove(entry->GetNext(), index));
      // Moved from j + 1: a head there is stored as j + 2. The head of a
      // moved entry's chain lies at or above the entry (chains fall), and
      // heads above it are lowered only when their own entry comes, so the
      // stored head is j + 2 or more here: lowering what is at most j + 2
      // lowers exactly the entry's own head.
      const int32_t b = BucketOf(entry->GetHash(), capacity, reciprocal);
      buckets[b] = LoweredBelow(buckets[b], j + 3);
    }
  }

  // value - 1 when value > bound, else value; value - 1 when value < bound,
  // else value. Without a compare and flag: bound - value (value - bound) is
  // negative exactly then, and its arithmetic shift by 31 is -1 (else 0). The
  // operands lie in -1 .. 2^31 - 1 apart by less than 2^31, so the
  // difference cannot overflow.
  static int32_t LoweredAbove(int32_t value, int32_t bound) noexcept { return value + ((bound - value) >> 31); }
  static int32_t LoweredBelow(int32_t value, int32_t bound) noexcept { return value + ((value - bound) >> 31); }

  static void LowerLinks(Table& t, int32_t index, int32_t last) noexcept {
    Slot* slots = t.entries.Data();
#pragma GCC unroll 4
    for (int32_t j = index; j < last; ++j) {
      Entry* entry = static_cast<Entry*>(slots[j].Get());
      entry->SetNext(LoweredAbove(entry->GetNext(), index));
    }
  }

  // Every head at or above `index` (stored as more than index) drops by one.
  static void LowerAllHeads(Table& t, int32_t index) noexcept {
    int32_t* buckets = t.buckets.Data();
    const int32_t capacity = t.capacity;
    for (int32_t b = 0; b < capacity; ++b) buckets[b] -= buckets[b] > index ? 1 : 0;
  }
};

}  // namespace hb
