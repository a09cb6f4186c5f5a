// The slot order is part of the binary contract: a caller holding only an
// interface pointer and a slot number must reach the named operation. Each
// test drives two equal objects, one through named calls and one through the
// raw table (first word of the object = table address, slot n = n-th word),
// and compares every result.
//
// A raw slot is called as a plain function taking the interface pointer
// first. Results of class type (DynString, Ref) come back through a hidden
// pointer passed ahead of the interface pointer; a function pointer type
// returning that class by value makes the compiler pass it the same way.
#include <gtest/gtest.h>

#include <utility>

#include "containers/dword_to_iunknown_map_entry.h"
#include "containers/string_bag_entry.h"
#include "containers/string_to_iunknown_map_entry.h"
#include "containers/string_to_string_map_entry.h"
#include "runtime/object.h"
#include "tests/containers/adapters.h"
#include "tests/support/counted_object.h"
#include "tests/support/live_object_test.h"

namespace hb::test {
namespace {

template <class Fn, class I, class... Args>
auto CallSlot(I* object, int slot, Args&&... args) {
  void* const* table = *reinterpret_cast<void* const* const*>(object);
  return reinterpret_cast<Fn>(table[slot])(object, std::forward<Args>(args)...);
}

using RawSlotTest = LiveObjectTest;

template <class I>
void ExpectSharedSlots(I* object) {
  void* answer = nullptr;
  EXPECT_EQ((CallSlot<HResult (*)(I*, const Guid&, void**)>(object, 0, kIidIUnknown, &answer)), kOk);
  ASSERT_NE(answer, nullptr);
  static_cast<IUnknown*>(answer)->Release();
  EXPECT_EQ((CallSlot<HResult (*)(I*, const Guid&, void**)>(object, 0, kIidIDispatch, &answer)), kNoInterface);
  EXPECT_EQ(answer, nullptr);
  const uint32_t up = CallSlot<uint32_t (*)(I*)>(object, 1);
  EXPECT_GE(up, 2u);
  EXPECT_EQ(object->AddRef(), up + 1);
  EXPECT_EQ((CallSlot<uint32_t (*)(I*)>(object, 2)), up);
  EXPECT_EQ(object->Release(), up - 1);
}

TEST_F(RawSlotTest, StringBag) {
  using I = IStringBag;
  Ref<I> named = NewStringBag(), raw = NewStringBag();
  ExpectSharedSlots(raw.Get());
  auto add = [&](const DynString& key) {
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const DynString&)>(raw.Get(), 3, key)), named->Add(key)) << Printable(key);
  };
  auto lookups = [&](const DynString& key) {
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const DynString&)>(raw.Get(), 5, key)), named->Contains(key));
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const DynString&)>(raw.Get(), 7, key)), named->IndexOf(key));
  };
  auto positions = [&] {
    const int32_t count = CallSlot<int32_t (*)(I*)>(raw.Get(), 6);
    ASSERT_EQ(count, named->Count());
    for (int32_t i = -1; i <= count; ++i) {
      EXPECT_EQ((CallSlot<DynString (*)(I*, int32_t)>(raw.Get(), 10, i)), named->KeyAt(i)) << i;
    }
  };
  for (uint32_t n = 0; n < 45; ++n) add(TextKey(n));
  add(TextKey(3));
  positions();
  for (uint32_t n : {0u, 5u, 44u, 99u}) lookups(TextKey(n));
  for (uint32_t n : {5u, 99u}) {
    CallSlot<void (*)(I*, const DynString&)>(raw.Get(), 8, TextKey(n));
    named->Remove(TextKey(n));
  }
  for (int32_t index : {0, 20, -1, 500}) {
    CallSlot<void (*)(I*, int32_t)>(raw.Get(), 9, index);
    named->RemoveAt(index);
  }
  positions();
  CallSlot<void (*)(I*)>(raw.Get(), 4);
  named->Clear();
  positions();
}

// The three maps share their slot layout; only key and value types differ.
template <class A>
class RawMapSlotTest : public LiveObjectTest {};
using MapAdapters = ::testing::Types<StringMapAdapter, ObjectMapAdapter, NumberMapAdapter>;
TYPED_TEST_SUITE(RawMapSlotTest, MapAdapters);

TYPED_TEST(RawMapSlotTest, EveryOperation) {
  using A = TypeParam;
  using I = typename A::Container;
  using Key = typename A::Key;
  using Value = decltype(std::declval<I&>().ValueAt(0));
  auto value = [](int id) {
    if constexpr (A::kObjectValues) {
      return ObjectValue(id);
    } else {
      return TextValue(id);
    }
  };
  Ref<I> named = A::Make(), raw = A::Make();
  ExpectSharedSlots(raw.Get());
  auto add = [&](const Key& key, const Value& v) {
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const Key&, const Value&)>(raw.Get(), 3, key, v)), named->Add(key, v));
  };
  auto setItem = [&](const Key& key, const Value& v) {
    CallSlot<void (*)(I*, const Key&, const Value&)>(raw.Get(), 11, key, v);
    named->SetItem(key, v);
  };
  auto lookups = [&](const Key& key) {
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const Key&)>(raw.Get(), 5, key)), named->Contains(key));
    EXPECT_EQ((CallSlot<int32_t (*)(I*, const Key&)>(raw.Get(), 7, key)), named->IndexOf(key));
    EXPECT_TRUE((CallSlot<Value (*)(I*, const Key&)>(raw.Get(), 10, key)) == named->Item(key));
  };
  auto positions = [&] {
    const int32_t count = CallSlot<int32_t (*)(I*)>(raw.Get(), 6);
    ASSERT_EQ(count, named->Count());
    for (int32_t i = -1; i <= count; ++i) {
      EXPECT_TRUE((CallSlot<Value (*)(I*, int32_t)>(raw.Get(), 12, i)) == named->ValueAt(i)) << i;
      EXPECT_TRUE(SameKey(CallSlot<Key (*)(I*, int32_t)>(raw.Get(), 13, i), named->KeyAt(i))) << i;
    }
  };
  for (uint32_t n = 0; n < 45; ++n) add(A::MakeKey(n), value(static_cast<int>(n % 5)));
  add(A::MakeKey(3), value(7));
  setItem(A::MakeKey(4), value(6));
  setItem(A::MakeKey(50), value(2));
  setItem(A::MakeKey(51), Value());
  positions();
  for (uint32_t n : {0u, 4u, 50u, 51u, 99u}) lookups(A::MakeKey(n));
  for (uint32_t n : {5u, 99u}) {
    CallSlot<void (*)(I*, const Key&)>(raw.Get(), 8, A::MakeKey(n));
    named->Remove(A::MakeKey(n));
  }
  for (int32_t index : {0, 20, -1, 500}) {
    CallSlot<void (*)(I*, int32_t)>(raw.Get(), 9, index);
    named->RemoveAt(index);
  }
  positions();
  CallSlot<void (*)(I*)>(raw.Get(), 4);
  named->Clear();
  positions();
}

TEST_F(RawSlotTest, FactoryFace) {
  Ref<IStringToStringMap> map = NewStringToStringMap();
  Ref<IClassFactory> factory;
  ASSERT_EQ(map->QueryInterface(kIidIClassFactory, factory.PutVoid()), kOk);
  ExpectSharedSlots(factory.Get());
  void* made = nullptr;
  using Create = HResult (*)(IClassFactory*, IUnknown*, const Guid&, void**);
  ASSERT_EQ(CallSlot<Create>(factory.Get(), 3, nullptr, kIidStringToStringMap, &made), kOk);
  Ref<IStringToStringMap> second = AdoptRef(static_cast<IStringToStringMap*>(made));
  EXPECT_EQ(second->Count(), 0);
  EXPECT_EQ((CallSlot<HResult (*)(IClassFactory*, int32_t)>(factory.Get(), 4, 1)), kOk);
  EXPECT_EQ(map->Release(), 2u) << "LockServer(1) added a count";
}

// Entries are made by name like any object; their eight operations sit in
// slots 3 to 10 (the bag's six in 3 to 8).
TEST_F(RawSlotTest, EntryObjects) {
  {
    Ref<IStringBagEntry> e;
    CreateObject(e, "cStringBagEntry", kIidStringBagEntry);
    ASSERT_TRUE(e);
    ExpectSharedSlots(e.Get());
    using I = IStringBagEntry;
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 4, 1234);
    EXPECT_EQ(e->GetHash(), 1234);
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 3)), 1234);
    CallSlot<void (*)(I*, DynString)>(e.Get(), 6, DynString("key"));
    EXPECT_EQ(e->GetKey(), DynString("key"));
    EXPECT_EQ((CallSlot<DynString (*)(I*)>(e.Get(), 5)), DynString("key"));
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 8, -1);
    EXPECT_EQ(e->GetNext(), -1);
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 7)), -1);
  }
  {
    Ref<IStringToStringMapEntry> e;
    CreateObject(e, "cStringToStringMapEntry", kIidStringToStringMapEntry);
    ASSERT_TRUE(e);
    using I = IStringToStringMapEntry;
    CallSlot<void (*)(I*, DynString)>(e.Get(), 6, DynString("value"));
    CallSlot<void (*)(I*, DynString)>(e.Get(), 8, DynString("key"));
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 10, 7);
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 4, 99);
    EXPECT_EQ(e->GetValue(), DynString("value"));
    EXPECT_EQ(e->GetKey(), DynString("key"));
    EXPECT_EQ((CallSlot<DynString (*)(I*)>(e.Get(), 5)), DynString("value"));
    EXPECT_EQ((CallSlot<DynString (*)(I*)>(e.Get(), 7)), DynString("key"));
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 9)), 7);
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 3)), 99);
  }
  CountedObject object;
  const Ref<IUnknown> value(&object);
  {
    Ref<IStringToIUnknownMapEntry> e;
    CreateObject(e, "cStringToIUnknownMapEntry", kIidStringToIUnknownMapEntry);
    ASSERT_TRUE(e);
    using I = IStringToIUnknownMapEntry;
    CallSlot<void (*)(I*, const Ref<IUnknown>&)>(e.Get(), 6, value);
    EXPECT_EQ(object.Count(), 3);
    EXPECT_EQ((CallSlot<Ref<IUnknown> (*)(I*)>(e.Get(), 5)).Get(), &object);
    CallSlot<void (*)(I*, DynString)>(e.Get(), 8, DynString("key"));
    EXPECT_EQ((CallSlot<DynString (*)(I*)>(e.Get(), 7)), DynString("key"));
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 10, 3);
    EXPECT_EQ(e->GetNext(), 3);
  }
  EXPECT_EQ(object.Count(), 2) << "a destroyed entry releases its value";
  {
    Ref<IDWordToIUnknownMapEntry> e;
    CreateObject(e, "cDWordToIUnknownMapEntry", kIidDWordToIUnknownMapEntry);
    ASSERT_TRUE(e);
    using I = IDWordToIUnknownMapEntry;
    CallSlot<void (*)(I*, Ref<IUnknown>)>(e.Get(), 6, value);
    EXPECT_EQ(e->GetValue().Get(), &object);
    CallSlot<void (*)(I*, uint32_t)>(e.Get(), 8, 4294967295u);
    EXPECT_EQ((CallSlot<uint32_t (*)(I*)>(e.Get(), 7)), 4294967295u);
    EXPECT_EQ((CallSlot<Ref<IUnknown> (*)(I*)>(e.Get(), 5)).Get(), &object);
    CallSlot<void (*)(I*, int32_t)>(e.Get(), 4, 625);
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 3)), 625);
    EXPECT_EQ((CallSlot<int32_t (*)(I*)>(e.Get(), 9)), 0);
  }
  EXPECT_EQ(object.Count(), 2);
}

}  // namespace
}  // namespace hb::test
