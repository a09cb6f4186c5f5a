// IStringBagEntry: the interface of cStringBagEntry, the entry
// objects in which cStringBag (string_bag.h) keeps its items. Only the
// container itself uses them; the entry class is registered by name with
// the container's.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringBagEntry = ParseGuid("{88765CD3-3E71-41CC-B0F3-29C8A4CE395A}");

// Slots 3 to 8. Used by the bag only.
class IStringBagEntry : public IUnknown {
 public:
  virtual int32_t GetHash() = 0;
  virtual void SetHash(int32_t hash) = 0;
  virtual DynString GetKey() = 0;
  virtual void SetKey(DynString key) = 0;
  virtual int32_t GetNext() = 0;
  virtual void SetNext(int32_t next) = 0;

 protected:
  ~IStringBagEntry() = default;
};

}  // namespace hb
