// The static class registry: which names make which classes.
//
//   name table        upper-case class name -> class number (9 to 16)
//   class table       class number -> class identifier
//   interface table   interface identifier -> index (1 IUnknown, 2 IClassFactory,
//                     3 IConnectionPointContainer, 4 IConnectionPoint,
//                     5 IDispatch, 16 to 23 the own interfaces of the classes)
//   class records     class identifier -> how to build the class (RegisterClass)
//
// The tables are fixed data. The records come from the library that
// implements the classes, registered when a program that uses them starts; a
// name whose class is not linked into the program makes nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/object.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr int32_t kInterfaceIndexIUnknown = 1;
inline constexpr int32_t kInterfaceIndexIClassFactory = 2;

// The class number of a name, comparing with lower-case ASCII letters of
// `name` taken as upper-case (no other byte is folded); 0 when unknown.
int32_t ClassNumberOf(std::string_view name) noexcept;

// The class identifier of a class number, null for a number without a class.
const Guid* ClassIdOf(int32_t number) noexcept;

// The index of an identifier in the interface table, 0 when it is not there.
int32_t InterfaceIndexOf(const Guid& iid) noexcept;

// The registered record of a class identifier, null when none is registered.
const ClassRecord* FindClassRecord(const Guid& classId) noexcept;

// The same for the class number whose identifier it is (records are filed
// by number when they register, so this is one table read).
const ClassRecord* FindClassRecord(int32_t number) noexcept;

}  // namespace hb
