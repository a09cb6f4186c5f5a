// cDWordToIUnknownMap: unsigned 32-bit keys to object references in the order
// in which the keys were first added. A key hashes as its four bytes, least
// significant first; 0 and 4294967295 are ordinary keys (KeyAt's 0 for an
// index out of range is told apart by Count). Each entry holding an object
// owns one count of it, from when the pair is added or its value replaced
// until the value is replaced or the entry goes away. Table mechanics:
// ordered_table.h; the map operations: ordered_map.h.
#include "containers/dword_to_iunknown_map.h"

#include "containers/dword_to_iunknown_map_entry.h"
#include "containers/map_entry.h"
#include "containers/ordered_map.h"
#include "containers/table_fields.h"

namespace hb {
namespace {

// Fields: hash, value, key, next.
class cDWordToIUnknownMapEntry final
    : public MapEntry<cDWordToIUnknownMapEntry, IDWordToIUnknownMapEntry, uint32_t, Ref<IUnknown>, Ref<IUnknown>> {
 public:
  static constexpr ClassIdentity kIdentity{"cDWordToIUnknownMapEntry", 10,
                                           ParseGuid("{33E51154-3DFD-4610-8B69-82BC0A7DA238}"),
                                           kIidDWordToIUnknownMapEntry, 17};
};

// Fields: entries, buckets, count, threshold, capacity, lastHash.
class cDWordToIUnknownMap final
    : public OrderedMap<cDWordToIUnknownMap, IDWordToIUnknownMap, cDWordToIUnknownMapEntry, ThresholdBeforeCapacity> {
 public:
  static constexpr ClassIdentity kIdentity{"cDWordToIUnknownMap", 9,
                                           ParseGuid("{2C1C1155-D224-41D2-BFF4-846D4AE571F8}"),
                                           kIidDWordToIUnknownMap, 16};
};

}  // namespace

std::span<const ClassRecord* const> DWordToIUnknownMapClassRecords() noexcept {
  return ClassRecordsOf<cDWordToIUnknownMap, cDWordToIUnknownMapEntry>();
}

Ref<IDWordToIUnknownMap> NewDWordToIUnknownMap() { return CreateByName<cDWordToIUnknownMap>(); }

TableView InspectTable(IDWordToIUnknownMap& map) { return static_cast<cDWordToIUnknownMap&>(map).View(); }

}  // namespace hb
