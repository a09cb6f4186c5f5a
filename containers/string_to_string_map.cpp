// cStringToStringMap: byte-string keys to byte-string values in the order in
// which the keys were first added. Keys and values are copied in and copied
// out; a present key given a new value keeps its index. Table mechanics:
// ordered_table.h; the map operations: ordered_map.h.
#include "containers/string_to_string_map.h"

#include "containers/map_entry.h"
#include "containers/ordered_map.h"
#include "containers/stored_views.h"
#include "containers/string_to_string_map_entry.h"
#include "containers/table_fields.h"

namespace hb {
namespace {

// Fields: hash, value, key, next.
class cStringToStringMapEntry final
    : public MapEntry<cStringToStringMapEntry, IStringToStringMapEntry, DynString, DynString, DynString> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringToStringMapEntry", 16,
                                           ParseGuid("{B94591E3-0265-4C0D-8B1D-E5EE1606715C}"),
                                           kIidStringToStringMapEntry, 23};
};

// Fields: entries, buckets, count, threshold, capacity, lastHash.
class cStringToStringMap final
    : public OrderedMap<cStringToStringMap, IStringToStringMap, cStringToStringMapEntry, ThresholdBeforeCapacity> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringToStringMap", 15,
                                           ParseGuid("{0D0718A6-E4D9-441C-A525-3BF5E28E058D}"),
                                           kIidStringToStringMap, 22};
};

}  // namespace

std::span<const ClassRecord* const> StringToStringMapClassRecords() noexcept {
  return ClassRecordsOf<cStringToStringMap, cStringToStringMapEntry>();
}

Ref<IStringToStringMap> NewStringToStringMap() { return CreateByName<cStringToStringMap>(); }

TableView InspectTable(IStringToStringMap& map) { return static_cast<cStringToStringMap&>(map).View(); }

std::pair<std::string_view, std::string_view> StoredPairView(IStringToStringMap& map, int32_t index) noexcept {
  return static_cast<const cStringToStringMap&>(map).StoredPairView(index);
}

int32_t IndexOfView(IStringToStringMap& map, std::string_view key) noexcept {
  return static_cast<cStringToStringMap&>(map).IndexOfView(key);
}

}  // namespace hb
