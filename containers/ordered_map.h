// OrderedMap: the operations of the three maps, written once over the table
// core (ordered_table.h).
//
// Fields, in this order: entries, buckets, count, threshold, capacity,
// lastHash (threshold before capacity, unlike the bag). Each map class
// derives from it with its own interface and entry class and adds only its
// identifiers; the interface fixes the slot order:
//   3 Add  4 Clear  5 Contains  6 Count  7 IndexOf  8 Remove  9 RemoveAt
//   10 Item  11 SetItem  12 ValueAt  13 KeyAt
//
// Values: a string value is copied in and copied out. An object value is
// shared: the entry holding it owns one count, taken when the pair is added
// or the value replaced, given back when the value is replaced and when the
// entry goes away (RemoveAt, Remove, Clear, destruction of the map). Item
// and ValueAt hand out a new counted reference. Misses return the empty
// value: an empty string, null, or the key 0 from KeyAt of a 32-bit map.
#pragma once

#include <cstdint>

#include "containers/ordered_table.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/ref.h"

namespace hb {

template <class Derived, class Own, class EntryClass>
class OrderedMap : public ComObject<Derived, Own> {
 public:
  using Entry = EntryClass;
  using Key = typename Entry::Key;
  using Value = typename Entry::Value;

  int32_t Add(const Key& key, const Value& value) final { return Table::Insert(*this, key, value); }
  void Clear() final { Table::Clear(*this); }
  // Asks IndexOf through the interface.
  int32_t Contains(const Key& key) final { return Face()->IndexOf(key) != -1 ? -1 : 0; }
  int32_t Count() final { return count; }
  int32_t IndexOf(const Key& key) final { return Table::Locate(*this, key); }
  // Removes through the interface's RemoveAt; an absent key gives -1, which it ignores.
  void Remove(const Key& key) final { Face()->RemoveAt(Table::Locate(*this, key)); }
  void RemoveAt(int32_t index) final { Table::RemoveAt(*this, index); }
  Value Item(const Key& key) final {
    const int32_t index = Table::Locate(*this, key);
    return index >= 0 ? Table::At(*this, index)->StoredValue() : Value();
  }
  void SetItem(const Key& key, const Value& value) final { Table::Insert(*this, key, value); }
  Value ValueAt(int32_t index) final {
    const Entry* entry = Table::EntryAt(*this, index);
    return entry == nullptr ? Value() : entry->StoredValue();
  }
  Key KeyAt(int32_t index) final {
    const Entry* entry = Table::EntryAt(*this, index);
    return entry == nullptr ? Key() : entry->StoredKey();
  }

  TableView View() const { return Table::View(*this); }

 protected:
  OrderedMap() noexcept = default;
  ~OrderedMap() = default;

  // Run by the object model when the map is created.
  void CreationHook() noexcept { Table::Create(*this); }

 private:
  using Table = TableCore<OrderedMap>;
  friend Table;
  Own* Face() noexcept { return static_cast<Own*>(this); }

  Array<Ref<typename Entry::Interface>> entries;  // 0..threshold: live [0, count), then blanks
  Array<int32_t> buckets;     // 0..capacity-1: 1 + chain head, 0 = empty
  int32_t count = 0;          // stored pairs
  int32_t threshold = 0;      // round(0.75 * capacity); grow when count reaches it
  int32_t capacity = 0;       // bucket count, a capacity prime
  int32_t lastHash = 0;       // Locate's hash, consumed by Insert
  uint64_t reciprocal = 0;    // BucketReciprocal(capacity)
};

}  // namespace hb
