// cStringToIUnknownMap: byte-string keys to object references, in the order in
// which the keys were first added. Values are shared, never copied: the map
// holds one counted reference to each non-null value.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/class_registry.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringToIUnknownMap = ParseGuid("{17C5873C-C736-4D75-8367-FEA0FD65CCA9}");

// Slots 3 to 13, in this order.
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
//   Count O(1); KeyAt O(1) and a copy of the key; ValueAt O(1) and one count
//   of the value.
class IStringToIUnknownMap : public IUnknown {
 public:
  virtual int32_t Add(const DynString& key, const Ref<IUnknown>& value) = 0;
  virtual void Clear() = 0;
  virtual int32_t Contains(const DynString& key) = 0;
  virtual int32_t Count() = 0;
  virtual int32_t IndexOf(const DynString& key) = 0;
  virtual void Remove(const DynString& key) = 0;
  virtual void RemoveAt(int32_t index) = 0;
  virtual Ref<IUnknown> Item(const DynString& key) = 0;  // null if absent
  virtual void SetItem(const DynString& key, const Ref<IUnknown>& value) = 0;
  virtual Ref<IUnknown> ValueAt(int32_t index) = 0;      // null if out of range
  virtual DynString KeyAt(int32_t index) = 0;            // empty if out of range

 protected:
  ~IStringToIUnknownMap() = default;
};

// A new, empty map with 53 buckets; the caller owns the one reference. Null
// when memory is exhausted.
Ref<IStringToIUnknownMap> NewStringToIUnknownMap();

// The records of cStringToIUnknownMap and cStringToIUnknownMapEntry, for the registration below.
std::span<const ClassRecord* const> StringToIUnknownMapClassRecords() noexcept;

// Makes cStringToIUnknownMap and cStringToIUnknownMapEntry known to CreateObject by name: every
// program that includes this header registers them at start-up, and naming
// their records here keeps them in a static link.
inline const ClassRegistration kStringToIUnknownMapClasses{StringToIUnknownMapClassRecords()};

}  // namespace hb
