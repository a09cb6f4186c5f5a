// KeyedEntry: the entry object of every container, one stored key.
//
// Fields, in this order: hash (the stored key hash, 0 to 0x7FFFFFFF), value
// (a map's, see map_entry.h; the bag's entries hold none and spend no room on
// it), key (the entry's own copy; a text key as a StoredText, stored_text.h),
// next (index of the following entry of the chain, -1 at its end). A new entry
// is blank: hash 0, empty key and value, next 0.
//
// The interface operations GetHash, SetHash, GetKey, SetKey, GetNext and
// SetNext are final, so the table core, which reaches entries as their
// concrete class, calls them directly. It also uses the non-virtual HashOf,
// HoldsKey, Fill and IsBlank, which read and copy without the extra copy that
// GetKey makes; a text key's HashOf and HoldsKey also take its bytes as a
// std::string_view, for lookups that make no copy. StoredKey is the one way
// to the stored key itself (for a text key: its bytes, by Data and Length or
// View); CopyOfKey is what KeyAt hands out.
//
// A destroyed entry frees its key and value.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "containers/entry_fields.h"
#include "runtime/object.h"

namespace hb {

// The interface fixes the slot order; the operations may come in any order.
template <class Derived, class Own, class KeyType, class ValueType = entry_fields::NoValue>
class KeyedEntry : public ComObject<Derived, Own> {
 public:
  using Key = KeyType;

  int32_t GetHash() final { return hash; }
  void SetHash(int32_t newHash) final { hash = newHash; }
  Key GetKey() final { return CopyOfKey(); }
  // Keeps the old key when memory runs out for the copy.
  void SetKey(Key newKey) final { entry_fields::CopyInto(key, newKey); }
  int32_t GetNext() final { return next; }
  void SetNext(int32_t newNext) final { next = newNext; }

  static int32_t HashOf(const Key& candidate) noexcept { return entry_fields::KeyHash(candidate); }
  bool HoldsKey(const Key& candidate) const noexcept { return entry_fields::SameKey(key, candidate); }
  // A text key given as its bytes: the same hash and comparison, no copy.
  static int32_t HashOf(std::string_view candidate) noexcept
    requires std::is_same_v<Key, DynString>
  {
    return entry_fields::KeyHash(candidate);
  }
  bool HoldsKey(std::string_view candidate) const noexcept
    requires std::is_same_v<Key, DynString>
  {
    return entry_fields::SameKey(key, candidate);
  }
  const entry_fields::Stored<Key>& StoredKey() const noexcept { return key; }
  Key CopyOfKey() const noexcept { return entry_fields::CopyOut(key); }
  // The key in place, without a copy (entry_fields::ViewOf).
  auto KeyView() const noexcept { return entry_fields::ViewOf(key); }

  // Copies the key, and a map entry's value, into this blank entry; false and
  // still blank when memory ran out.
  template <class... Value>
  bool Fill(const Key& newKey, const Value&... newValue) noexcept {
    static_assert(sizeof...(Value) == (kHoldsValue ? 1 : 0), "a map entry takes a value, a bag entry none");
    if (!entry_fields::CopyInto(key, newKey)) return false;
    if ((... && entry_fields::CopyInto(value, newValue))) return true;
    entry_fields::MakeEmpty(key);
    return false;
  }

  bool IsBlank() const noexcept {
    return hash == 0 && next == 0 && entry_fields::IsEmpty(key) && entry_fields::IsEmpty(value);
  }

 protected:
  static constexpr bool kHoldsValue = !std::is_same_v<ValueType, entry_fields::NoValue>;

  KeyedEntry() noexcept = default;
  ~KeyedEntry() = default;

  // One access level for all four, so that they lie in this order.
  int32_t hash = 0;
  [[no_unique_address]] entry_fields::Stored<ValueType> value{};
  entry_fields::Stored<Key> key{};
  int32_t next = 0;
};

}  // namespace hb
