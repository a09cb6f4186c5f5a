// cStringBag: a set of distinct byte strings that remembers insertion order.
//
// Keys compare byte for byte over their whole length (case and embedded zero
// bytes count); the hash stops at the first zero byte, so such keys share a
// chain but stay distinct. The entry: keyed_entry.h; the operations:
// ordered_keys.h; the table mechanics: ordered_table.h.
#include "containers/string_bag.h"

#include "containers/keyed_entry.h"
#include "containers/ordered_keys.h"
#include "containers/stored_views.h"
#include "containers/string_bag_entry.h"
#include "containers/table_fields.h"

namespace hb {
namespace {

// Fields: hash, key, next.
class cStringBagEntry final : public KeyedEntry<cStringBagEntry, IStringBagEntry, DynString> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringBagEntry", 12,
                                           ParseGuid("{C1CEC862-B4FE-4A72-A48B-C5DA365A7DDB}"),
                                           kIidStringBagEntry, 19};
};

// Fields: entries, buckets, count, capacity, threshold, lastHash.
class cStringBag final : public OrderedKeys<cStringBag, IStringBag, cStringBagEntry, CapacityBeforeThreshold> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringBag", 11,
                                           ParseGuid("{B63899CE-36CF-4F33-A9E4-BA2557E77DD0}"),
                                           kIidStringBag, 18};
};

}  // namespace

std::span<const ClassRecord* const> StringBagClassRecords() noexcept {
  return ClassRecordsOf<cStringBag, cStringBagEntry>();
}

Ref<IStringBag> NewStringBag() { return CreateByName<cStringBag>(); }

TableView InspectTable(IStringBag& bag) { return static_cast<cStringBag&>(bag).View(); }

std::string_view StoredKeyView(IStringBag& bag, int32_t index) noexcept {
  return static_cast<const cStringBag&>(bag).StoredKeyView(index);
}

int32_t IndexOfView(IStringBag& bag, std::string_view key) noexcept {
  return static_cast<cStringBag&>(bag).IndexOfView(key);
}

}  // namespace hb
