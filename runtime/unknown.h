// The base of every interface in the system: QueryInterface, AddRef and
// Release in slots 0 to 2 of the interface table, in that order.
//
// Interfaces are abstract classes with only pure virtual operations and no
// virtual destructor, so the table holds exactly the declared operations in
// declaration order and a caller holding an interface pointer and a slot
// number reaches the right operation: the first word of an interface is the
// address of its table, and slot n is the n-th word of that table.
#pragma once

#include <concepts>
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

namespace guid_detail {
constexpr uint32_t HexDigit(char c) {
  return c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
         : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                : throw "not a hex digit";
}
constexpr uint32_t Hex(const char* text, int digits) {
  uint32_t value = 0;
  for (int i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[i]);
  return value;
}
}  // namespace guid_detail

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at compile time.
consteval Guid ParseGuid(const char (&text)[39]) {
  if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' ||
      text[37] != '}')
    throw "malformed identifier";
  Guid guid{guid_detail::Hex(text + 1, 8), static_cast<uint16_t>(guid_detail::Hex(text + 10, 4)),
            static_cast<uint16_t>(guid_detail::Hex(text + 15, 4)), {}};
  guid.data4[0] = static_cast<uint8_t>(guid_detail::Hex(text + 20, 2));
  guid.data4[1] = static_cast<uint8_t>(guid_detail::Hex(text + 22, 2));
  for (int i = 0; i < 6; ++i) guid.data4[2 + i] = static_cast<uint8_t>(guid_detail::Hex(text + 25 + 2 * i, 2));
  return guid;
}

using HResult = int32_t;

inline constexpr HResult kOk = 0;                                                 // S_OK
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);        // E_NOINTERFACE
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110u);      // CLASS_E_NOAGGREGATION
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);        // E_OUTOFMEMORY

inline constexpr Guid kIidIUnknown = ParseGuid("{00000000-0000-0000-C000-000000000046}");

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

// The identifier of interface T, for the forms that take it from the type
// (the typed CreateObject, UnknownImpl's QueryInterface): each interface's
// header specialises it next to the interface, as
//   template <> struct InterfaceId<IFoo> { static constexpr Guid value = kIidFoo; };
// and a user's own interface may do the same. Not defined for other types.
template <class T>
struct InterfaceId;
template <>
struct InterfaceId<IUnknown> {
  static constexpr Guid value = kIidIUnknown;
};

// T is an interface whose identifier is known (see InterfaceId).
template <class T>
concept KnownInterface = requires {
  { InterfaceId<T>::value } -> std::convertible_to<const Guid&>;
};

// AddRef and Release that accept null (and then return 0).
inline uint32_t AddRefObject(IUnknown* object) { return object == nullptr ? 0 : object->AddRef(); }
inline uint32_t ReleaseObject(IUnknown* object) { return object == nullptr ? 0 : object->Release(); }

}  // namespace hb
