// OrderedKeys: the operations that the bag and the three maps share, written
// once over the table core (ordered_table.h):
//   3 Add  4 Clear  5 Contains  6 Count  7 IndexOf  8 Remove  9 RemoveAt
// and KeyAt, slot 10 of the bag and 13 of a map (ordered_map.h adds Item,
// SetItem and ValueAt in between). The interface fixes the slot order.
//
// A container class derives from it (or from OrderedMap) naming its
// interface, its entry class and its field order (table_fields.h), and adds
// only its identifiers. `Value...` is the map's value type, none for the bag:
// Add takes the key and that many values.
//
// Misses return the empty key: an empty string, or 0 from KeyAt of a 32-bit
// map. Booleans are -1 (true) and 0 (false).
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "containers/ordered_table.h"
#include "containers/table_view.h"
#include "runtime/dyn_string.h"
#include "runtime/object.h"
#include "runtime/ref.h"

namespace hb {

template <class Derived, class Own, class EntryClass, template <class> class FieldOrder, class... Value>
class OrderedKeys : public ComObject<Derived, Own> {
 public:
  using Entry = EntryClass;
  using Key = typename Entry::Key;

  int32_t Add(const Key& key, const Value&... value) final { return Table::Insert(table, key, value...); }
  void Clear() final { Table::Clear(table); }
  // Asks IndexOf through the interface.
  int32_t Contains(const Key& key) final { return Face()->IndexOf(key) != -1 ? -1 : 0; }
  int32_t Count() final { return table.count; }
  int32_t IndexOf(const Key& key) final { return Table::Locate(table, key); }
  // Removes through the interface's RemoveAt; an absent key gives -1, which it ignores.
  void Remove(const Key& key) final { Face()->RemoveAt(Table::Locate(table, key)); }
  void RemoveAt(int32_t index) final { Table::RemoveAt(table, index); }
  Key KeyAt(int32_t index) final {
    const Entry* entry = Table::EntryAt(table, index);
    return entry == nullptr ? Key() : entry->CopyOfKey();
  }

  TableView View() const { return Table::View(table); }

  // IndexOf of a text key given as its bytes, without copying them into a
  // DynString: the same hash, chain walk and result (stored_views.h). Needs
  // no memory, so it cannot fail.
  int32_t IndexOfView(std::string_view key) noexcept
    requires std::is_same_v<Key, DynString>
  {
    return Table::Locate(table, key);
  }

  // The key of live entry `index` in place, without a copy (stored_views.h);
  // the empty key outside 0 to count - 1.
  auto StoredKeyView(int32_t index) const noexcept {
    const Entry* entry = Table::EntryAt(table, index);
    using KeyView = decltype(entry->KeyView());
    return entry == nullptr ? KeyView() : entry->KeyView();
  }

  // Run by the object model when the container is created.
  void CreationHook() noexcept { Table::Create(table); }

 protected:
  using Fields = FieldOrder<Entry>;
  using Table = TableCore<Fields>;

  OrderedKeys() noexcept = default;
  ~OrderedKeys() = default;

  Own* Face() noexcept { return static_cast<Own*>(this); }

  Fields table;  // the container's fields, in its order
};

// A new container of class Container made by its name, as the container's
// factory function gives it out; null when memory is exhausted.
template <class Container>
Ref<typename Container::Interface> CreateByName() noexcept {
  Ref<typename Container::Interface> made;
  CreateObject(made, Container::kIdentity.name, Container::kIdentity.ownInterface);
  return made;
}

}  // namespace hb
