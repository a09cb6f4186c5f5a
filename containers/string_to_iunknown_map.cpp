// cStringToIUnknownMap: byte-string keys to object references in the order in
// which the keys were first added. Keys are copied in and out; values are
// shared: each entry holding an object owns one count of it, from when the
// pair is added or its value replaced until the value is replaced or the
// entry goes away. Item and ValueAt return new counted references. Table
// mechanics: ordered_table.h; the map operations: ordered_map.h.
#include "containers/string_to_iunknown_map.h"

#include "containers/map_entry.h"
#include "containers/ordered_map.h"
#include "containers/stored_views.h"
#include "containers/string_to_iunknown_map_entry.h"
#include "containers/table_fields.h"

namespace hb {
namespace {

// Fields: hash, value, key, next.
class cStringToIUnknownMapEntry final : public MapEntry<cStringToIUnknownMapEntry, IStringToIUnknownMapEntry, DynString,
                                                        Ref<IUnknown>, const Ref<IUnknown>&> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringToIUnknownMapEntry", 14,
                                           ParseGuid("{3EA5029B-DFC1-47B6-8471-3AB5F160AD2D}"),
                                           kIidStringToIUnknownMapEntry, 21};
};

// Fields: entries, buckets, count, threshold, capacity, lastHash.
class cStringToIUnknownMap final : public OrderedMap<cStringToIUnknownMap, IStringToIUnknownMap,
                                                     cStringToIUnknownMapEntry, ThresholdBeforeCapacity> {
 public:
  static constexpr ClassIdentity kIdentity{"cStringToIUnknownMap", 13,
                                           ParseGuid("{079570AB-4710-4C0C-BC4F-10E5F8045DD9}"),
                                           kIidStringToIUnknownMap, 20};
};

}  // namespace

std::span<const ClassRecord* const> StringToIUnknownMapClassRecords() noexcept {
  return ClassRecordsOf<cStringToIUnknownMap, cStringToIUnknownMapEntry>();
}

Ref<IStringToIUnknownMap> NewStringToIUnknownMap() { return CreateByName<cStringToIUnknownMap>(); }

TableView InspectTable(IStringToIUnknownMap& map) { return static_cast<cStringToIUnknownMap&>(map).View(); }

std::pair<std::string_view, IUnknown*> StoredPairView(IStringToIUnknownMap& map, int32_t index) noexcept {
  return static_cast<const cStringToIUnknownMap&>(map).StoredPairView(index);
}

int32_t IndexOfView(IStringToIUnknownMap& map, std::string_view key) noexcept {
  return static_cast<cStringToIUnknownMap&>(map).IndexOfView(key);
}

}  // namespace hb
