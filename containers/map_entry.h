// MapEntry: the entry object of the three maps, one key/value pair.
//
// Fields, in this order: hash (the stored HashBytes value, 0 to 0x7FFFFFFF),
// value (the entry's own copy of a string, or one counted reference to an
// object, possibly null), key (the entry's own copy), next (index of the
// following entry of the chain, -1 at its end). A new entry is blank: hash 0,
// empty value and key, next 0.
//
// The interface operations (slots 3 to 10: GetHash, SetHash, GetValue,
// SetValue, GetKey, SetKey, GetNext, SetNext) are final, so the table core,
// which reaches entries as their concrete class, calls them directly. It also
// uses the non-virtual HoldsKey, Fill and ReplaceValue, which read and copy
// without the extra copies that GetKey and SetValue make.
//
// A destroyed entry frees its key and value string and releases its value
// object.
#pragma once

#include <cstdint>
#include <utility>

#include "containers/entry_fields.h"
#include "runtime/object.h"

namespace hb {

// ValueParam is how the interface's SetValue takes its argument.
template <class Derived, class Own, class KeyType, class ValueType, class ValueParam>
class MapEntry : public ComObject<Derived, Own> {
 public:
  using Key = KeyType;
  using Value = ValueType;

  int32_t GetHash() final { return hash; }
  void SetHash(int32_t newHash) final { hash = newHash; }
  Value GetValue() final { return value; }  // a copy, or a new counted reference
  void SetValue(ValueParam newValue) final { value = std::forward<ValueParam>(newValue); }
  Key GetKey() final { return key; }
  void SetKey(Key newKey) final { key = std::move(newKey); }
  int32_t GetNext() final { return next; }
  void SetNext(int32_t newNext) final { next = newNext; }

  static int32_t HashOf(const Key& candidate) noexcept { return entry_fields::KeyHash(candidate); }
  bool HoldsKey(const Key& candidate) const noexcept { return entry_fields::SameKey(key, candidate); }
  const Value& StoredValue() const noexcept { return value; }
  const Key& StoredKey() const noexcept { return key; }

  // Copies key and value into this blank entry; false and still blank when
  // memory ran out.
  bool Fill(const Key& newKey, const Value& newValue) noexcept {
    if (!entry_fields::CopyInto(key, newKey)) return false;
    if (entry_fields::CopyInto(value, newValue)) return true;
    entry_fields::MakeEmpty(key);
    return false;
  }
  // False, with the old value kept, when memory ran out.
  bool ReplaceValue(const Value& newValue) noexcept { return entry_fields::CopyInto(value, newValue); }

  bool IsBlank() const noexcept {
    return hash == 0 && next == 0 && entry_fields::IsEmpty(key) && entry_fields::IsEmpty(value);
  }

 protected:
  MapEntry() noexcept = default;
  ~MapEntry() = default;

 private:
  int32_t hash = 0;
  Value value{};
  Key key{};
  int32_t next = 0;
};

}  // namespace hb
