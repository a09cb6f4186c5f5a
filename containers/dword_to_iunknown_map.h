// cDWordToIUnknownMap: unsigned 32-bit keys to object references, in the order
// in which the keys were first added. The map holds one counted reference to
// each non-null value.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/class_registry.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidDWordToIUnknownMap = ParseGuid("{BA69EB17-AB9F-4721-910D-49250B606FD3}");

// Slots 3 to 13, in this order. Returned references are new counted
// references that the caller owns.
// Add returns -1 (and SetItem does nothing) when the key is new and the
// map is at its largest size, or when memory is exhausted; the map is then
// unchanged. An entry gives back its value when it is removed or cleared and
// when the map is destroyed.
//
// Costs, for n stored pairs in b buckets (b >= 4n/3; b never shrinks):
//   Add, SetItem, Contains, hash the key once and walk one bucket chain, kept
//   IndexOf, Item           short because the map grows when n reaches 3/4 b;
//                           a new pair is copied into an entry made in advance.
//   Add/SetItem when full   grows one prime step (b about doubles), rechaining
//                           from the stored hashes: O(n + b), so adding is
//                           amortized O(1).
//   RemoveAt(i)             moves every later entry down one index: O(n - i),
//                           plus a pass over all b buckets when 1000 or more
//                           moved. Removing from the end is cheap; emptying
//                           the map from index 0 up costs O(n^2).
//   Remove                  a lookup, then RemoveAt.
//   Clear                   O(n + b): n + 1 new blank entries, every bucket
//                           emptied.
//   Count and KeyAt O(1); ValueAt O(1) and one count of the value.
class IDWordToIUnknownMap : public IUnknown {
 public:
  virtual int32_t Add(const uint32_t& key, const Ref<IUnknown>& value) = 0;
  virtual void Clear() = 0;
  virtual int32_t Contains(const uint32_t& key) = 0;
  virtual int32_t Count() = 0;
  virtual int32_t IndexOf(const uint32_t& key) = 0;
  virtual void Remove(const uint32_t& key) = 0;
  virtual void RemoveAt(int32_t index) = 0;
  virtual Ref<IUnknown> Item(const uint32_t& key) = 0;   // null if absent
  virtual void SetItem(const uint32_t& key, const Ref<IUnknown>& value) = 0;
  virtual Ref<IUnknown> ValueAt(int32_t index) = 0;      // null if out of range
  virtual uint32_t KeyAt(int32_t index) = 0;             // 0 if out of range

 protected:
  ~IDWordToIUnknownMap() = default;
};

// A new, empty map with 53 buckets; the caller owns the one reference. Null
// when memory is exhausted.
Ref<IDWordToIUnknownMap> NewDWordToIUnknownMap();

// The records of cDWordToIUnknownMap and cDWordToIUnknownMapEntry, for the registration below.
std::span<const ClassRecord* const> DWordToIUnknownMapClassRecords() noexcept;

// Makes cDWordToIUnknownMap and cDWordToIUnknownMapEntry known to CreateObject by name: every
// program that includes this header registers them at start-up, and naming
// their records here keeps them in a static link.
inline const ClassRegistration kDWordToIUnknownMapClasses{DWordToIUnknownMapClassRecords()};

}  // namespace hb
