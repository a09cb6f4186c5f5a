#include "runtime/class_registry.h"

#include <array>

namespace hb {
namespace {

struct InterfaceRow {
  int32_t index;
  Guid iid;
};

// The interfaces the runtime itself defines. Indices from 6 on belong to the
// registered classes.
constexpr InterfaceRow kRuntimeInterfaces[] = {
    {kInterfaceIndexIUnknown, kIidIUnknown},
    {kInterfaceIndexIClassFactory, kIidIClassFactory},
    {3, kIidIConnectionPointContainer},
    {4, kIidIConnectionPoint},
    {kLastRuntimeInterfaceIndex, kIidIDispatch},
};

// Filled while the program starts, read afterwards. The records in the order
// they registered, which name lookups scan (distinct numbers in 1 to
// kLargestClassNumber, so they fit), and the same records by class number.
std::array<const ClassRecord*, kLargestClassNumber> g_records{};
int32_t g_recordCount = 0;
std::array<const ClassRecord*, kLargestClassNumber + 1> g_recordsByNumber{};

constexpr char UpperAscii(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal once the lower-case ASCII letters of both are taken as upper-case.
bool SameFoldedName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::span<const ClassRecord* const> Registered() noexcept {
  return {g_records.data(), static_cast<std::size_t>(g_recordCount)};
}

bool IsRuntimeInterface(const Guid& iid) noexcept {
  for (const InterfaceRow& row : kRuntimeInterfaces) {
    if (row.iid == iid) return true;
  }
  return false;
}

bool InRange(const ClassIdentity& id) noexcept {
  return !id.name.empty() && id.number >= 1 && id.number <= kLargestClassNumber &&
         id.interfaceIndex > kLastRuntimeInterfaceIndex && id.interfaceIndex <= kLargestInterfaceIndex;
}

// Whether the two would answer any of the same questions.
bool Overlap(const ClassIdentity& a, const ClassIdentity& b) noexcept {
  return a.number == b.number || a.classId == b.classId || a.ownInterface == b.ownInterface ||
         a.interfaceIndex == b.interfaceIndex || SameFoldedName(a.name, b.name);
}

}  // namespace

bool RegisterClass(const ClassRecord& record) noexcept {
  const ClassIdentity& id = record.identity;
  if (!InRange(id) || IsRuntimeInterface(id.ownInterface)) return false;
  for (const ClassRecord* filed : Registered()) {
    if (filed == &record) return true;
    if (Overlap(filed->identity, id)) return false;
  }
  g_records[static_cast<std::size_t>(g_recordCount++)] = &record;
  g_recordsByNumber[static_cast<std::size_t>(id.number)] = &record;
  return true;
}

const ClassRecord* FindClassRecord(std::string_view name) noexcept {
  for (const ClassRecord* record : Registered()) {
    const std::string_view spelling = record->identity.name;
    if (name.size() != spelling.size()) continue;
    // The usual call spells the name as the class does: one plain comparison.
    if (name == spelling || SameFoldedName(name, spelling)) return record;
  }
  return nullptr;
}

const ClassRecord* FindClassRecord(const Guid& classId) noexcept {
  for (const ClassRecord* record : Registered()) {
    if (record->identity.classId == classId) return record;
  }
  return nullptr;
}

const ClassRecord* FindClassRecord(int32_t number) noexcept {
  if (number < 1 || number > kLargestClassNumber) return nullptr;
  return g_recordsByNumber[static_cast<std::size_t>(number)];
}

int32_t ClassNumberOf(std::string_view name) noexcept {
  const ClassRecord* record = FindClassRecord(name);
  return record == nullptr ? 0 : record->identity.number;
}

const Guid* ClassIdOf(int32_t number) noexcept {
  const ClassRecord* record = FindClassRecord(number);
  return record == nullptr ? nullptr : &record->identity.classId;
}

int32_t InterfaceIndexOf(const Guid& iid) noexcept {
  for (const InterfaceRow& row : kRuntimeInterfaces) {
    if (row.iid == iid) return row.index;
  }
  for (const ClassRecord* record : Registered()) {
    if (record->identity.ownInterface == iid) return record->identity.interfaceIndex;
  }
  return 0;
}

}  // namespace hb
