#include "runtime/class_registry.h"

#include <array>

namespace hb {
namespace {

// The table holds the upper-case names; the names as the classes spell them
// are kept too, so that the usual call matches with one plain comparison.
struct NameRow {
  std::string_view upperName;
  std::string_view spelling;
  int32_t number;
};

constexpr NameRow kNames[] = {
    {"CDWORDTOIUNKNOWNMAP", "cDWordToIUnknownMap", 9},
    {"CDWORDTOIUNKNOWNMAPENTRY", "cDWordToIUnknownMapEntry", 10},
    {"CSTRINGBAG", "cStringBag", 11},
    {"CSTRINGBAGENTRY", "cStringBagEntry", 12},
    {"CSTRINGTOIUNKNOWNMAP", "cStringToIUnknownMap", 13},
    {"CSTRINGTOIUNKNOWNMAPENTRY", "cStringToIUnknownMapEntry", 14},
    {"CSTRINGTOSTRINGMAP", "cStringToStringMap", 15},
    {"CSTRINGTOSTRINGMAPENTRY", "cStringToStringMapEntry", 16},
};

constexpr int32_t kFirstClassNumber = 9;
constexpr int32_t kLastClassNumber = 16;

// Class numbers 1 to 8 name no class of this system.
constexpr Guid kClassIds[] = {
    ParseGuid("{2C1C1155-D224-41D2-BFF4-846D4AE571F8}"),  // 9  cDWordToIUnknownMap
    ParseGuid("{33E51154-3DFD-4610-8B69-82BC0A7DA238}"),  // 10 cDWordToIUnknownMapEntry
    ParseGuid("{B63899CE-36CF-4F33-A9E4-BA2557E77DD0}"),  // 11 cStringBag
    ParseGuid("{C1CEC862-B4FE-4A72-A48B-C5DA365A7DDB}"),  // 12 cStringBagEntry
    ParseGuid("{079570AB-4710-4C0C-BC4F-10E5F8045DD9}"),  // 13 cStringToIUnknownMap
    ParseGuid("{3EA5029B-DFC1-47B6-8471-3AB5F160AD2D}"),  // 14 cStringToIUnknownMapEntry
    ParseGuid("{0D0718A6-E4D9-441C-A525-3BF5E28E058D}"),  // 15 cStringToStringMap
    ParseGuid("{B94591E3-0265-4C0D-8B1D-E5EE1606715C}"),  // 16 cStringToStringMapEntry
};

struct InterfaceRow {
  int32_t index;
  Guid iid;
};

// Indices 6 to 15 belong to interfaces that no class here offers.
constexpr InterfaceRow kInterfaces[] = {
    {1, kIidIUnknown},
    {2, kIidIClassFactory},
    {3, kIidIConnectionPointContainer},
    {4, kIidIConnectionPoint},
    {5, kIidIDispatch},
    {16, ParseGuid("{BA69EB17-AB9F-4721-910D-49250B606FD3}")},  // cDWordToIUnknownMap
    {17, ParseGuid("{AFE10114-8419-47AB-A5A5-0ABA0818328A}")},  // cDWordToIUnknownMapEntry
    {18, ParseGuid("{DE5F2295-C83D-42A7-BB0C-48E44E99D360}")},  // cStringBag
    {19, ParseGuid("{88765CD3-3E71-41CC-B0F3-29C8A4CE395A}")},  // cStringBagEntry
    {20, ParseGuid("{17C5873C-C736-4D75-8367-FEA0FD65CCA9}")},  // cStringToIUnknownMap
    {21, ParseGuid("{E9A4C143-5574-412B-8033-B3E9738EEB7A}")},  // cStringToIUnknownMapEntry
    {22, ParseGuid("{661F9CCD-034D-40BB-A059-15119F254B9C}")},  // cStringToStringMap
    {23, ParseGuid("{EAAC0410-51C7-40F4-B6D0-4EF577BEFF32}")},  // cStringToStringMapEntry
};

// Registered records by class number - kFirstClassNumber. Filled while the
// program starts, read afterwards.
std::array<const ClassRecord*, kLastClassNumber - kFirstClassNumber + 1> g_records{};

constexpr char UpperAscii(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameFoldedName(std::string_view name, std::string_view upperName) noexcept {
  if (name.size() != upperName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (UpperAscii(name[i]) != upperName[i]) return false;
  }
  return true;
}

}  // namespace

int32_t ClassNumberOf(std::string_view name) noexcept {
  for (const NameRow& row : kNames) {
    if (name.size() != row.upperName.size()) continue;
    if (name == row.spelling || SameFoldedName(name, row.upperName)) return row.number;
  }
  return 0;
}

const Guid* ClassIdOf(int32_t number) noexcept {
  if (number < kFirstClassNumber || number > kLastClassNumber) return nullptr;
  return &kClassIds[number - kFirstClassNumber];
}

int32_t InterfaceIndexOf(const Guid& iid) noexcept {
  for (const InterfaceRow& row : kInterfaces) {
    if (row.iid == iid) return row.index;
  }
  return 0;
}

const ClassRecord* FindClassRecord(const Guid& classId) noexcept {
  for (int32_t number = kFirstClassNumber; number <= kLastClassNumber; ++number) {
    if (*ClassIdOf(number) == classId) return FindClassRecord(number);
  }
  return nullptr;
}

const ClassRecord* FindClassRecord(int32_t number) noexcept {
  if (number < kFirstClassNumber || number > kLastClassNumber) return nullptr;
  return g_records[static_cast<std::size_t>(number - kFirstClassNumber)];
}

bool RegisterClass(const ClassRecord& record) noexcept {
  for (int32_t number = kFirstClassNumber; number <= kLastClassNumber; ++number) {
    if (*ClassIdOf(number) == record.classId) {
      g_records[static_cast<std::size_t>(number - kFirstClassNumber)] = &record;
      return true;
    }
  }
  return false;
}

}  // namespace hb
