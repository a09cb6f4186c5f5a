// IDWordToIUnknownMapEntry: the interface of cDWordToIUnknownMapEntry, the entry
// objects in which cDWordToIUnknownMap (dword_to_iunknown_map.h) keeps its items. Only the
// container itself uses them; the entry class is registered by name with
// the container's.
#pragma once

#include <cstdint>

#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidDWordToIUnknownMapEntry = ParseGuid("{AFE10114-8419-47AB-A5A5-0ABA0818328A}");

// Slots 3 to 10. Used by the map only.
class IDWordToIUnknownMapEntry : public IUnknown {
 public:
  virtual int32_t GetHash() = 0;
  virtual void SetHash(int32_t hash) = 0;
  virtual Ref<IUnknown> GetValue() = 0;
  virtual void SetValue(Ref<IUnknown> value) = 0;
  virtual uint32_t GetKey() = 0;
  virtual void SetKey(uint32_t key) = 0;
  virtual int32_t GetNext() = 0;
  virtual void SetNext(int32_t next) = 0;

 protected:
  ~IDWordToIUnknownMapEntry() = default;
};

}  // namespace hb
