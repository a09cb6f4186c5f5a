// The class registry: which names make which classes.
//
//   class records     one per class, each with its name, class number, class
//                     identifier, own-interface identifier and that
//                     interface's index (ClassIdentity)
//   interface table   interface identifier -> index: the runtime's own
//                     1 IUnknown, 2 IClassFactory, 3 IConnectionPointContainer,
//                     4 IConnectionPoint, 5 IDispatch; above 5 the own
//                     interfaces of the registered classes
//
// The runtime knows no class of its own. A library that implements classes
// registers their records when a program that uses them starts (see
// ClassRegistration); a name whose class is not linked into the program makes
// nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/object.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr int32_t kInterfaceIndexIUnknown = 1;
inline constexpr int32_t kInterfaceIndexIClassFactory = 2;
inline constexpr int32_t kLastRuntimeInterfaceIndex = 5;  // IDispatch
// The registry's room: class numbers 1 to this, interface indices above the
// runtime's own up to this.
inline constexpr int32_t kLargestClassNumber = 63;
inline constexpr int32_t kLargestInterfaceIndex = 63;

// Files the record, so that CreateObject makes its class by name. Refused
// (false, nothing filed) when its class number or interface index is out of
// range, or when its name (in any letter case), class number, class
// identifier, own-interface identifier or interface index is already taken by
// another record or by the runtime's own interfaces. Filing the same record
// again changes nothing and returns true.
bool RegisterClass(const ClassRecord& record) noexcept;

// Registers records while the program starts. A library header defines one
// (an inline variable) for the classes it declares, so that every program
// that includes the header can create them by name and, in a static link,
// links their code. A refused record leaves its class unknown to
// CreateObject; the tests that create every class by name catch it.
class ClassRegistration {
 public:
  explicit ClassRegistration(std::span<const ClassRecord* const> records) noexcept {
    for (const ClassRecord* record : records) RegisterClass(*record);
  }
};

// The records of the given ComObject classes, for a ClassRegistration.
template <class... Classes>
std::span<const ClassRecord* const> ClassRecordsOf() noexcept {
  static constexpr const ClassRecord* kRecords[] = {&Classes::kRecord...};
  return kRecords;
}

// The registered record whose name matches `name`, with lower-case ASCII
// letters of `name` taken as upper-case (no other byte is folded); null when
// none does.
const ClassRecord* FindClassRecord(std::string_view name) noexcept;

// The registered record of a class identifier, or of a class number; null
// when none is registered.
const ClassRecord* FindClassRecord(const Guid& classId) noexcept;
const ClassRecord* FindClassRecord(int32_t number) noexcept;

// The class number of a name, matched as by FindClassRecord; 0 when unknown.
int32_t ClassNumberOf(std::string_view name) noexcept;

// The class identifier of a class number, null for a number without a class.
const Guid* ClassIdOf(int32_t number) noexcept;

// The index of an identifier in the interface table, 0 when it is not there.
int32_t InterfaceIndexOf(const Guid& iid) noexcept;

}  // namespace hb
