// IStringToIUnknownMapEntry: the interface of cStringToIUnknownMapEntry, the entry
// objects in which cStringToIUnknownMap (string_to_iunknown_map.h) keeps its items. Only the
// container itself uses them; the entry class is registered by name with
// the container's.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringToIUnknownMapEntry = ParseGuid("{E9A4C143-5574-412B-8033-B3E9738EEB7A}");

// Slots 3 to 10. Used by the map only.
class IStringToIUnknownMapEntry : public IUnknown {
 public:
  virtual int32_t GetHash() = 0;
  virtual void SetHash(int32_t hash) = 0;
  virtual Ref<IUnknown> GetValue() = 0;
  virtual void SetValue(const Ref<IUnknown>& value) = 0;
  virtual DynString GetKey() = 0;
  virtual void SetKey(DynString key) = 0;
  virtual int32_t GetNext() = 0;
  virtual void SetNext(int32_t next) = 0;

 protected:
  ~IStringToIUnknownMapEntry() = default;
};

}  // namespace hb
