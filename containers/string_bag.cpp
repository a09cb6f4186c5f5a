// cStringBag: a set of distinct byte strings that remembers insertion order.
//
// Keys compare byte for byte over their whole length (case and embedded zero
// bytes count); the hash stops at the first zero byte, so such keys share a
// chain but stay distinct. The entry: keyed_entry.h; the operations:
// ordered_keys.h; the table mechanics: ordered_table.h.
#include "containers/string_bag.h"

#include "containers/keyed_entry.h"
#include "containers/ordered_keys.h"
#include "containers/table_fields.h"

namespace hb {
namespace {

// Fields: hash, key, next.
class cStringBagEntry final : public KeyedEntry<cStringBagEntry, IStringBagEntry, DynString> {
 public:
  static constexpr Guid kClassId = ParseGuid("{C1CEC862-B4FE-4A72-A48B-C5DA365A7DDB}");
  static constexpr Guid kOwnInterface = kIidStringBagEntry;
};

// Fields: entries, buckets, count, capacity, threshold, lastHash.
class cStringBag final
    : public OrderedKeys<cStringBag, IStringBag, cStringBagEntry, CapacityBeforeThreshold> {
 public:
  static constexpr Guid kClassId = ParseGuid("{B63899CE-36CF-4F33-A9E4-BA2557E77DD0}");
  static constexpr Guid kOwnInterface = kIidStringBag;
};

}  // namespace

bool RegisterStringBagClasses() noexcept {
  return RegisterClass(cStringBag::kRecord) && RegisterClass(cStringBagEntry::kRecord);
}

Ref<IStringBag> NewStringBag() {
  Ref<IStringBag> bag;
  CreateObject(bag, "cStringBag", kIidStringBag);
  return bag;
}

TableView InspectTable(IStringBag& bag) { return static_cast<cStringBag&>(bag).View(); }

}  // namespace hb
