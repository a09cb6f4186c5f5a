// The base of every interface in the system: QueryInterface, AddRef and
// Release in slots 0 to 2 of the interface table, in that order.
//
// Interfaces are abstract classes with only pure virtual operations and no
// virtual destructor, so the table holds exactly the declared operations in
// declaration order and a caller holding an interface pointer and a slot
// number reaches the right operation: the first word of an interface is the
// address of its table, and slot n is the n-th word of that table.
#pragma once

#include <cstdint>

namespace hb {

// A 16-byte interface or class identifier.
struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];

  friend bool operator==(const Guid&, const Guid&) = default;
};

using HResult = int32_t;

inline constexpr HResult kOk = 0;                                                 // S_OK
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);        // E_NOINTERFACE
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110u);      // CLASS_E_NOAGGREGATION
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);        // E_OUTOFMEMORY

// {00000000-0000-0000-C000-000000000046}
inline constexpr Guid kIidIUnknown = {0x00000000, 0x0000, 0x0000,
                                      {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  // S_OK and a counted reference in *object when the interface is offered;
  // E_NOINTERFACE and null otherwise.
  virtual HResult QueryInterface(const Guid& iid, void** object) = 0;
  // Adds one to the object's count and returns the new count.
  virtual uint32_t AddRef() = 0;
  // Takes one from the count and returns the new count; destroys the object
  // and returns 0 when the count reaches zero.
  virtual uint32_t Release() = 0;

 protected:
  // Objects are destroyed by their last Release, never through an interface.
  ~IUnknown() = default;
};

// AddRef and Release that accept null (and then return 0).
inline uint32_t AddRefObject(IUnknown* object) { return object == nullptr ? 0 : object->AddRef(); }
inline uint32_t ReleaseObject(IUnknown* object) { return object == nullptr ? 0 : object->Release(); }

}  // namespace hb
