// OrderedMap: the operations of the three maps, OrderedKeys (ordered_keys.h)
// with the value operations in slots 10 to 12:
//   3 Add  4 Clear  5 Contains  6 Count  7 IndexOf  8 Remove  9 RemoveAt
//   10 Item  11 SetItem  12 ValueAt  13 KeyAt
//
// Values: a string value is copied in and copied out. An object value is
// shared: the entry holding it owns one count, taken when the pair is added
// or the value replaced, given back when the value is replaced and when the
// entry goes away (RemoveAt, Remove, Clear, destruction of the map). Item
// and ValueAt hand out a new counted reference. Misses return the empty
// value: an empty string or null.
#pragma once

#include <cstdint>

#include "containers/ordered_keys.h"

namespace hb {

template <class Derived, class Own, class EntryClass, template <class> class FieldOrder>
class OrderedMap : public OrderedKeys<Derived, Own, EntryClass, FieldOrder, typename EntryClass::Value> {
  using Keys = OrderedKeys<Derived, Own, EntryClass, FieldOrder, typename EntryClass::Value>;
  using typename Keys::Table;

 public:
  using typename Keys::Entry;
  using typename Keys::Key;
  using Value = typename Entry::Value;

  Value Item(const Key& key) final {
    const int32_t index = Table::Locate(this->table, key);
    return index >= 0 ? Table::At(this->table, index)->CopyOfValue() : Value();
  }
  void SetItem(const Key& key, const Value& value) final { Table::Insert(this->table, key, value); }
  Value ValueAt(int32_t index) final {
    const Entry* entry = Table::EntryAt(this->table, index);
    return entry == nullptr ? Value() : entry->CopyOfValue();
  }

 protected:
  OrderedMap() noexcept = default;
  ~OrderedMap() = default;
};

}  // namespace hb
