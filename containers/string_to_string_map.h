// cStringToStringMap: byte-string keys to byte-string values, in the order in
// which the keys were first added.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/class_registry.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidStringToStringMap = ParseGuid("{661F9CCD-034D-40BB-A059-15119F254B9C}");
inline constexpr Guid kIidStringToStringMapEntry = ParseGuid("{EAAC0410-51C7-40F4-B6D0-4EF577BEFF32}");

// Slots 3 to 13, in this order. Booleans are -1 (true) and 0 (false).
// Add returns -1 (and SetItem does nothing) when the key is new and the
// map is at its largest size, or when memory is exhausted; the map is then
// unchanged. An entry gives back its value when it is removed or cleared and
// when the map is destroyed.
class IStringToStringMap : public IUnknown {
 public:
  virtual int32_t Add(const DynString& key, const DynString& value) = 0;
  virtual void Clear() = 0;
  virtual int32_t Contains(const DynString& key) = 0;
  virtual int32_t Count() = 0;
  virtual int32_t IndexOf(const DynString& key) = 0;
  virtual void Remove(const DynString& key) = 0;
  virtual void RemoveAt(int32_t index) = 0;
  virtual DynString Item(const DynString& key) = 0;      // empty if absent
  virtual void SetItem(const DynString& key, const DynString& value) = 0;
  virtual DynString ValueAt(int32_t index) = 0;          // empty if out of range
  virtual DynString KeyAt(int32_t index) = 0;            // empty if out of range

 protected:
  ~IStringToStringMap() = default;
};

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

// A new, empty map with 53 buckets; the caller owns the one reference. Null
// when memory is exhausted.
Ref<IStringToStringMap> NewStringToStringMap();

// The records of cStringToStringMap and cStringToStringMapEntry, for the registration below.
std::span<const ClassRecord* const> StringToStringMapClassRecords() noexcept;

// Makes cStringToStringMap and cStringToStringMapEntry known to CreateObject by name: every
// program that includes this header registers them at start-up, and naming
// their records here keeps them in a static link.
inline const ClassRegistration kStringToStringMapClasses{StringToStringMapClassRecords()};

}  // namespace hb
