// IStringToStringMapEntry: the interface of cStringToStringMapEntry, the entry
// objects in which cStringToStringMap (string_to_string_map.h) keeps its items. Only the
// container itself uses them; the entry class is registered by name with
// the container's.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringToStringMapEntry = ParseGuid("{EAAC0410-51C7-40F4-B6D0-4EF577BEFF32}");

// Slots 3 to 10. Used by the map only.
class IStringToStringMapEntry : public IUnknown {
 public:
  virtual int32_t GetHash() = 0;
  virtual void SetHash(int32_t hash) = 0;
  virtual DynString GetValue() = 0;
  virtual void SetValue(DynString value) = 0;
  virtual DynString GetKey() = 0;
  virtual void SetKey(DynString key) = 0;
  virtual int32_t GetNext() = 0;
  virtual void SetNext(int32_t next) = 0;

 protected:
  ~IStringToStringMapEntry() = default;
};

}  // namespace hb
