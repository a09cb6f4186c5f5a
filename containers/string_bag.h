// cStringBag: a set of distinct byte strings that remembers insertion order.
// Callers walk it by position, 0 to Count() - 1, and remove by key or position.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/class_registry.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringBag = ParseGuid("{DE5F2295-C83D-42A7-BB0C-48E44E99D360}");

// Slots 3 to 10, in this order. Booleans are -1 (true) and 0 (false).
// Add returns -1 and stores nothing when the bag is at its largest size or
// memory is exhausted; the bag is then unchanged.
//
// Costs, for n stored keys in b buckets (b >= 4n/3; b never shrinks):
//   Add, Contains, IndexOf  hash the key once and walk one bucket chain, kept
//                           short because the bag grows when n reaches 3/4 b;
//                           Add copies the key into an entry made in advance.
//   Add when full           grows one prime step (b about doubles), rechaining
//                           from the stored hashes: O(n + b), so Add is
//                           amortized O(1).
//   RemoveAt(i)             moves every later entry down one index: O(n - i),
//                           plus a pass over all b buckets when 1000 or more
//                           moved. Removing from the end is cheap; emptying
//                           the bag from index 0 up costs O(n^2).
//   Remove                  a lookup, then RemoveAt.
//   Clear                   O(n + b): n + 1 new blank entries, every bucket
//                           emptied.
//   Count O(1); KeyAt O(1) and a copy of the key.
class IStringBag : public IUnknown {
 public:
  virtual int32_t Add(const DynString& key) = 0;        // index of the key
  virtual void Clear() = 0;
  virtual int32_t Contains(const DynString& key) = 0;   // boolean
  virtual int32_t Count() = 0;
  virtual int32_t IndexOf(const DynString& key) = 0;    // -1 if absent
  virtual void Remove(const DynString& key) = 0;
  virtual void RemoveAt(int32_t index) = 0;
  virtual DynString KeyAt(int32_t index) = 0;           // empty if out of range

 protected:
  ~IStringBag() = default;
};

// A new, empty bag with 53 buckets; the caller owns the one reference. Null
// when memory is exhausted.
Ref<IStringBag> NewStringBag();

// The records of cStringBag and cStringBagEntry, for the registration below.
std::span<const ClassRecord* const> StringBagClassRecords() noexcept;

// Makes cStringBag and cStringBagEntry known to CreateObject by name: every
// program that includes this header registers them at start-up, and naming
// their records here keeps them in a static link.
inline const ClassRegistration kStringBagClasses{StringBagClassRecords()};

}  // namespace hb
