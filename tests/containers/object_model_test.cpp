// Creation by name, the class table, QueryInterface and the counts shared by
// the three interfaces of an object, on the eight real classes.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "containers/dword_to_iunknown_map.h"
#include "containers/dword_to_iunknown_map_entry.h"
#include "containers/string_bag.h"
#include "containers/string_bag_entry.h"
#include "containers/string_to_iunknown_map.h"
#include "containers/string_to_iunknown_map_entry.h"
#include "containers/string_to_string_map.h"
#include "containers/string_to_string_map_entry.h"
#include "containers/table_view.h"
#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/class_registry.h"
#include "runtime/errors.h"
#include "runtime/object.h"
#include "tests/support/counted_object.h"
#include "tests/support/live_object_test.h"

namespace hb::test {
namespace {

using ObjectModelTest = LiveObjectTest;

struct ClassRow {
  std::string_view name;
  int32_t number;
  Guid classId;
  Guid ownInterface;
  int32_t interfaceIndex;
};

const ClassRow kClasses[] = {
    {"cDWordToIUnknownMap", 9, ParseGuid("{2C1C1155-D224-41D2-BFF4-846D4AE571F8}"), kIidDWordToIUnknownMap, 16},
    {"cDWordToIUnknownMapEntry", 10, ParseGuid("{33E51154-3DFD-4610-8B69-82BC0A7DA238}"),
     kIidDWordToIUnknownMapEntry, 17},
    {"cStringBag", 11, ParseGuid("{B63899CE-36CF-4F33-A9E4-BA2557E77DD0}"), kIidStringBag, 18},
    {"cStringBagEntry", 12, ParseGuid("{C1CEC862-B4FE-4A72-A48B-C5DA365A7DDB}"), kIidStringBagEntry, 19},
    {"cStringToIUnknownMap", 13, ParseGuid("{079570AB-4710-4C0C-BC4F-10E5F8045DD9}"), kIidStringToIUnknownMap,
     20},
    {"cStringToIUnknownMapEntry", 14, ParseGuid("{3EA5029B-DFC1-47B6-8471-3AB5F160AD2D}"),
     kIidStringToIUnknownMapEntry, 21},
    {"cStringToStringMap", 15, ParseGuid("{0D0718A6-E4D9-441C-A525-3BF5E28E058D}"), kIidStringToStringMap, 22},
    {"cStringToStringMapEntry", 16, ParseGuid("{B94591E3-0265-4C0D-8B1D-E5EE1606715C}"),
     kIidStringToStringMapEntry, 23},
};

constexpr Guid kUnknownIid = ParseGuid("{12345678-9ABC-DEF0-1234-56789ABCDEF0}");

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return result;
}
std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return result;
}

TEST_F(ObjectModelTest, ClassTableNumbersAndIdentifiers) {
  for (const ClassRow& row : kClasses) {
    EXPECT_EQ(ClassNumberOf(row.name), row.number) << row.name;
    ASSERT_NE(ClassIdOf(row.number), nullptr) << row.name;
    EXPECT_EQ(*ClassIdOf(row.number), row.classId) << row.name;
    EXPECT_EQ(InterfaceIndexOf(row.ownInterface), row.interfaceIndex) << row.name;
    EXPECT_NE(FindClassRecord(row.classId), nullptr) << row.name << " not registered";
  }
  struct Case { Guid iid; int32_t index; };
  const Case kShared[] = {{kIidIUnknown, 1}, {kIidIClassFactory, 2}, {kIidIConnectionPointContainer, 3},
                          {kIidIConnectionPoint, 4}, {kIidIDispatch, 5}, {kUnknownIid, 0}};
  for (const Case& c : kShared) EXPECT_EQ(InterfaceIndexOf(c.iid), c.index) << "index " << c.index;
  EXPECT_EQ(ClassIdOf(8), nullptr);
  EXPECT_EQ(ClassIdOf(17), nullptr);
}

// Each class files its own record at start-up: the one CreateObject finds by
// the name as spelled, with every field as the table above has it.
TEST_F(ObjectModelTest, EveryClassRegisteredItsOwnRecord) {
  for (const ClassRow& row : kClasses) {
    const ClassRecord* record = FindClassRecord(row.number);
    ASSERT_NE(record, nullptr) << row.name << " not registered";
    EXPECT_EQ(FindClassRecord(row.name), record) << row.name;
    EXPECT_EQ(record->identity.name, row.name);
    EXPECT_EQ(record->identity.classId, row.classId) << row.name;
    EXPECT_EQ(record->identity.ownInterface, row.ownInterface) << row.name;
    EXPECT_EQ(record->identity.interfaceIndex, row.interfaceIndex) << row.name;
  }
}

// Creates the class named `name` asking for its own interface.
Ref<IUnknown> CreateByName(std::string_view name, const Guid& iid) {
  Ref<IUnknown> object;
  CreateObject(object, name, iid);
  return object;
}

TEST_F(ObjectModelTest, NameLookupFoldsLowerCaseAsciiLettersOnly) {
  using namespace std::string_literals;
  struct Case { std::string name; bool made; };
  const Case kCases[] = {
      {"cStringBag", true},     {"CSTRINGBAG", true},   {"cstringbag", true},   {"CsTrInGbAg", true},
      {"cStringBag ", false},   {"cStringBa", false},   {" cStringBag", false}, {"", false},
      {"cStringBag\0"s, false}, {"cString_Bag", false}, {"cStringBags", false},
  };
  for (const Case& c : kCases) {
    Ref<IStringBag> bag;
    CreateObject(bag, c.name, kIidStringBag);
    EXPECT_EQ(static_cast<bool>(bag), c.made) << "name '" << c.name << "'";
    if (bag) {
      EXPECT_EQ(InspectTable(*bag).capacity, 53) << c.name;  // it is a bag, hook ran
    }
  }
}

TEST_F(ObjectModelTest, EveryClassIsMadeByNameInAnyCase) {
  for (const ClassRow& row : kClasses) {
    for (const std::string& name : {std::string(row.name), Upper(row.name), Lower(row.name)}) {
      Ref<IUnknown> object = CreateByName(name, row.ownInterface);
      ASSERT_TRUE(object) << name;
      EXPECT_EQ(object->AddRef(), 2u) << name;
      EXPECT_EQ(object->Release(), 1u) << name;
    }
  }
}

TEST_F(ObjectModelTest, InterfaceNotOfferedMakesNothing) {
  const int32_t before = LiveObjectCount();
  for (const Guid& iid : {kIidIDispatch, kIidIConnectionPoint, kIidIConnectionPointContainer, kUnknownIid,
                          kIidStringBagEntry}) {
    EXPECT_FALSE(CreateByName("cStringBag", iid));
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(ObjectModelTest, QueryInterfaceAnswersForTheThreeOfferedInterfacesOnly) {
  for (const ClassRow& row : kClasses) {
    Ref<IUnknown> primary = CreateByName(row.name, row.ownInterface);
    ASSERT_TRUE(primary) << row.name;
    struct Case { Guid iid; HResult result; };
    const Case kCases[] = {{row.ownInterface, kOk},           {kIidIClassFactory, kOk},
                           {kIidIUnknown, kOk},               {kIidIDispatch, kNoInterface},
                           {kIidIConnectionPoint, kNoInterface}, {kIidIConnectionPointContainer, kNoInterface},
                           {kUnknownIid, kNoInterface},
                           {row.number == 11 ? kIidStringToStringMap : kIidStringBag, kNoInterface}};
    for (const Case& c : kCases) {
      void* answer = &answer;  // must be overwritten either way
      const uint32_t countBefore = primary->AddRef() - 1;
      primary->Release();
      EXPECT_EQ(primary->QueryInterface(c.iid, &answer), c.result) << row.name;
      if (c.result != kOk) {
        EXPECT_EQ(answer, nullptr) << row.name;
        continue;
      }
      ASSERT_NE(answer, nullptr);
      auto* face = static_cast<IUnknown*>(answer);
      EXPECT_EQ(face == primary.Get(), c.iid == row.ownInterface) << row.name;
      EXPECT_EQ(face->Release(), countBefore) << row.name << ": QueryInterface adds one count";
      // Every face answers the same questions with the same references.
      void* again = nullptr;
      ASSERT_EQ(face->QueryInterface(row.ownInterface, &again), kOk);
      EXPECT_EQ(again, primary.Get());
      static_cast<IUnknown*>(again)->Release();
    }
  }
}

TEST_F(ObjectModelTest, ThreeInterfacesShareOneCount) {
  Ref<IStringBag> bag = NewStringBag();
  Ref<IUnknown> identity;
  ASSERT_EQ(bag->QueryInterface(kIidIUnknown, identity.PutVoid()), kOk);
  Ref<IClassFactory> factory;
  ASSERT_EQ(identity->QueryInterface(kIidIClassFactory, factory.PutVoid()), kOk);
  EXPECT_NE(static_cast<void*>(identity.Get()), static_cast<void*>(bag.Get()));
  EXPECT_NE(static_cast<void*>(factory.Get()), static_cast<void*>(identity.Get()));
  EXPECT_EQ(factory->AddRef(), 4u);
  EXPECT_EQ(bag->Release(), 3u);
  EXPECT_EQ(identity->AddRef(), 4u);
  EXPECT_EQ(factory->Release(), 3u);
  EXPECT_EQ(AddRefObject(nullptr), 0u);
  EXPECT_EQ(ReleaseObject(nullptr), 0u);
}

TEST_F(ObjectModelTest, CreateObjectReleasesTheTargetFirst) {
  CountedObject old;
  struct Case { std::string_view name; bool made; };
  for (const Case c : {Case{"cStringBag", true}, Case{"noSuchClass", false}}) {
    Ref<IUnknown> target(&old);  // count 2
    CreateObject(target, c.name, kIidIUnknown);
    EXPECT_EQ(old.Count(), 1) << c.name;
    EXPECT_EQ(static_cast<bool>(target), c.made) << c.name;
  }
  // The last reference to a container: all its objects go before the new one comes.
  const int32_t before = LiveObjectCount();
  Ref<IStringBag> bag = NewStringBag();
  bag->Add(DynString("x"));
  CreateObject(bag, "cStringBag ", kIidStringBag);
  EXPECT_FALSE(bag);
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(ObjectModelTest, ObjectVariablesCountAndRelease) {
  const int32_t before = LiveObjectCount();
  Ref<IStringBag> bag = NewStringBag();
  const int32_t withBag = LiveObjectCount();
  EXPECT_EQ(withBag - before, 1 + 41) << "the bag and its 41 blank entries";

  Ref<IStringBag> same = bag;
  Ref<IStringBag>& alias = same;  // through a reference, as self-assignment happens in real code
  same = alias;  // self-assignment keeps the object
  ASSERT_TRUE(same);
  EXPECT_EQ(same->Add(DynString("kept")), 0);
  bag = same;   // another holder of the same object
  EXPECT_EQ(bag->Count(), 1);
  EXPECT_EQ(bag->AddRef(), 3u);
  bag->Release();

  Ref<IStringBag> empty;
  same = empty;  // assigning null releases and leaves null
  EXPECT_FALSE(same);
  EXPECT_EQ(LiveObjectCount(), withBag);
  bag = empty;
  EXPECT_FALSE(bag);
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(ObjectModelTest, CreationHookHasRunWhenCreateObjectReturns) {
  Ref<IStringBag> bag = NewStringBag();
  Ref<IStringToStringMap> strings = NewStringToStringMap();
  Ref<IStringToIUnknownMap> objects = NewStringToIUnknownMap();
  Ref<IDWordToIUnknownMap> numbers = NewDWordToIUnknownMap();
  for (const TableView& view :
       {InspectTable(*bag), InspectTable(*strings), InspectTable(*objects), InspectTable(*numbers)}) {
    EXPECT_EQ(view.count, 0);
    EXPECT_EQ(view.capacity, 53);
    EXPECT_EQ(view.threshold, 40);
    EXPECT_EQ(view.entriesUpperBound, 40);
    EXPECT_EQ(view.missingBlanks, 0);
  }
  EXPECT_EQ(bag->Count(), 0);
  EXPECT_EQ(numbers->Count(), 0);
}

TEST_F(ObjectModelTest, OutOfMemoryMakesNothingAndRecordsNothing) {
  ClearError();
  const int32_t before = LiveObjectCount();
  CountedObject old;
  Ref<IUnknown> target(&old);
  {
    ScopedAllocationFailure fail(1);
    CreateObject(target, "cStringBag", kIidStringBag);
  }
  EXPECT_FALSE(target);
  EXPECT_EQ(old.Count(), 1);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(ObjectModelTest, CreateInstanceMakesAnIndependentObject) {
  Ref<IStringBag> bag = NewStringBag();
  bag->Add(DynString("only in the first"));
  Ref<IClassFactory> factory;
  ASSERT_EQ(bag->QueryInterface(kIidIClassFactory, factory.PutVoid()), kOk);

  CountedObject outer;
  void* untouched = &untouched;
  EXPECT_EQ(factory->CreateInstance(&outer, kIidStringBag, &untouched), kNoAggregation);
  EXPECT_EQ(untouched, &untouched);
  EXPECT_EQ(outer.Count(), 1);

  void* result = &result;
  EXPECT_EQ(factory->CreateInstance(nullptr, kIidIDispatch, &result), kNoInterface);
  EXPECT_EQ(result, nullptr);

  const int32_t before = LiveObjectCount();
  result = &result;
  {
    ScopedAllocationFailure fail(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, kIidStringBag, &result), kOutOfMemory);
  }
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(LiveObjectCount(), before);

  ASSERT_EQ(factory->CreateInstance(nullptr, kIidStringBag, &result), kOk);
  Ref<IStringBag> second = AdoptRef(static_cast<IStringBag*>(result));
  EXPECT_NE(second.Get(), bag.Get());
  EXPECT_EQ(second->Count(), 0) << "a new object, not a copy";
  EXPECT_EQ(InspectTable(*second).capacity, 53) << "its creation hook ran";
  EXPECT_EQ(second->AddRef(), 2u);
  second->Release();
  EXPECT_EQ(bag->Count(), 1);
}

TEST_F(ObjectModelTest, LockServerAddsOrTakesOneCount) {
  Ref<IStringToStringMap> map = NewStringToStringMap();
  Ref<IClassFactory> factory;
  ASSERT_EQ(map->QueryInterface(kIidIClassFactory, factory.PutVoid()), kOk);
  EXPECT_EQ(factory->LockServer(1), kOk);
  EXPECT_EQ(map->AddRef(), 4u);
  map->Release();
  EXPECT_EQ(factory->LockServer(0), kOk);
  EXPECT_EQ(map->AddRef(), 3u);
  map->Release();
}

}  // namespace
}  // namespace hb::test
