// The C++ face of the containers against the same steps through the
// interfaces: one table of cases per operation, each case run on a face and
// on a raw container built alike, comparing the results, the contents after
// it and the expectation written in the table. Then what the face adds:
// iterators, copies, const use, errors, and the views that a change
// invalidates, which the AddressSanitizer build catches.
#include "containers/cpp_containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <ranges>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/allocation_failure.h"
#include "runtime/errors.h"
#include "runtime/unknown_impl.h"
#include "tests/support/counted_object.h"
#include "tests/support/live_object_test.h"
#include "tests/support/reference_count.h"

namespace hb::test {
namespace {

using namespace std::string_view_literals;
using Keys = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

static_assert(std::random_access_iterator<StringBag::const_iterator>);
static_assert(std::random_access_iterator<StringToStringMap::const_iterator>);
static_assert(std::random_access_iterator<StringToIUnknownMap::const_iterator>);
static_assert(std::random_access_iterator<DWordToIUnknownMap::const_iterator>);
static_assert(std::ranges::random_access_range<const StringBag> && std::ranges::sized_range<StringToStringMap>);

// "a\0x" and "a\0y" hash alike (the hash stops at the zero byte) but are
// distinct keys; "A" differs from "a" by case only.
const Keys kStart = {"a", "A", std::string("a\0x", 3), "bb", "", std::string("a\0y", 3)};

Keys KeysOf(const StringBag& bag) {
  Keys keys;
  for (std::string_view key : bag) keys.emplace_back(key);
  return keys;
}
Keys KeysOf(IStringBag& bag) {
  Keys keys;
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const DynString key = bag.KeyAt(i);
    keys.emplace_back(key.View());
  }
  return keys;
}
StringBag FaceOf(const Keys& keys) {
  StringBag bag;
  for (const std::string& key : keys) bag.insert(key);
  return bag;
}
Ref<IStringBag> RawOf(const Keys& keys) {
  Ref<IStringBag> bag = NewStringBag();
  for (const std::string& key : keys) bag->Add(DynString(key));
  return bag;
}

Pairs PairsOf(const StringToStringMap& map) {
  Pairs pairs;
  for (auto [key, value] : map) pairs.emplace_back(key, value);
  return pairs;
}
Pairs PairsOf(IStringToStringMap& map) {
  Pairs pairs;
  for (int32_t i = 0; i < map.Count(); ++i) {
    pairs.emplace_back(std::string(map.KeyAt(i)), std::string(map.ValueAt(i)));
  }
  return pairs;
}
StringToStringMap FaceOf(const Pairs& pairs) {
  StringToStringMap map;
  for (const auto& [key, value] : pairs) map.insert_or_assign(key, value);
  return map;
}
Ref<IStringToStringMap> RawOf(const Pairs& pairs) {
  Ref<IStringToStringMap> map = NewStringToStringMap();
  for (const auto& [key, value] : pairs) map->Add(DynString(key), DynString(value));
  return map;
}

std::string Shown(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '\0' ? std::string("\\0") : std::string(1, c);
  return "\"" + out + "\"";
}

class CppStringBagTest : public LiveObjectTest {};

TEST_F(CppStringBagTest, InsertIsAddWithTheStandardResult) {
  struct Case { Keys start; std::string key; int32_t index; bool inserted; };
  const Case kCases[] = {
      {{}, "a", 0, true},
      {kStart, "new", 6, true},
      {kStart, "a", 0, false},
      {kStart, "bb", 3, false},
      {kStart, "", 4, false},
      {kStart, std::string("a\0y", 3), 5, false},
      {kStart, std::string("a\0z", 3), 6, true},  // same chain as "a\0x"
      {kStart, "BB", 6, true},
      {{}, "", 0, true},
  };
  for (const Case& c : kCases) {
    StringBag face = FaceOf(c.start);
    Ref<IStringBag> raw = RawOf(c.start);
    const int32_t countBefore = raw->Count();
    const int32_t rawIndex = raw->Add(DynString(c.key));
    const auto [it, inserted] = face.insert(c.key);
    EXPECT_EQ(it.index(), rawIndex) << Shown(c.key);
    EXPECT_EQ(inserted, rawIndex == countBefore) << Shown(c.key);
    EXPECT_EQ(it.index(), c.index) << Shown(c.key);
    EXPECT_EQ(inserted, c.inserted) << Shown(c.key);
    EXPECT_EQ(*it, c.key) << Shown(c.key);
    EXPECT_EQ(KeysOf(face), KeysOf(*raw)) << Shown(c.key);
  }
}

TEST_F(CppStringBagTest, FindContainsAndCountAreIndexOfAndContains) {
  struct Case { std::string key; int32_t index; };
  const Case kCases[] = {
      {"a", 0}, {"A", 1}, {std::string("a\0x", 3), 2}, {std::string("a\0y", 3), 5}, {"", 4},
      {std::string("a\0", 2), -1}, {"b", -1}, {"bbb", -1}, {"aa", -1},
  };
  const StringBag face = FaceOf(kStart);
  Ref<IStringBag> raw = RawOf(kStart);
  for (const Case& c : kCases) {
    const DynString key(c.key);
    const auto found = face.find(c.key);
    EXPECT_EQ(found == face.end() ? -1 : found.index(), raw->IndexOf(key)) << Shown(c.key);
    EXPECT_EQ(found == face.end() ? -1 : found.index(), c.index) << Shown(c.key);
    EXPECT_EQ(face.contains(c.key), raw->Contains(key) == -1) << Shown(c.key);
    EXPECT_EQ(face.contains(c.key), c.index >= 0) << Shown(c.key);
    EXPECT_EQ(face.count(c.key), c.index >= 0 ? 1u : 0u) << Shown(c.key);
  }
}

TEST_F(CppStringBagTest, EraseByKeyIsRemoveAndCountsWhatWent) {
  struct Case { std::string key; std::size_t removed; };
  const Case kCases[] = {
      {"a", 1}, {"A", 1}, {std::string("a\0y", 3), 1}, {std::string("a\0x", 3), 1}, {"", 1}, {"zz", 0},
      {std::string("a\0", 2), 0},
  };
  for (const Case& c : kCases) {
    StringBag face = FaceOf(kStart);
    Ref<IStringBag> raw = RawOf(kStart);
    raw->Remove(DynString(c.key));
    EXPECT_EQ(face.erase(c.key), c.removed) << Shown(c.key);
    EXPECT_EQ(KeysOf(face), KeysOf(*raw)) << Shown(c.key);
    EXPECT_EQ(face.size(), kStart.size() - c.removed) << Shown(c.key);
  }
}

TEST_F(CppStringBagTest, EraseByPositionIsRemoveAtAndReturnsTheFollowingEntry) {
  for (int32_t position = 0; position < static_cast<int32_t>(kStart.size()); ++position) {
    StringBag face = FaceOf(kStart);
    Ref<IStringBag> raw = RawOf(kStart);
    raw->RemoveAt(position);
    const auto next = face.erase(face.begin() + position);
    EXPECT_EQ(KeysOf(face), KeysOf(*raw)) << "position " << position;
    EXPECT_EQ(next.index(), position);
    if (next != face.end()) {
      EXPECT_EQ(*next, kStart[static_cast<std::size_t>(position) + 1]) << "position " << position;
    } else {
      EXPECT_EQ(position + 1, static_cast<int32_t>(kStart.size()));
    }
  }
}

TEST_F(CppStringBagTest, EraseARangeIsRemoveAtFromItsEndDown) {
  struct Case { int32_t first, last; Keys left; };
  const Case kCases[] = {
      {0, 6, {}}, {1, 3, {"a", "bb", "", std::string("a\0y", 3)}}, {5, 6, Keys(kStart.begin(), kStart.end() - 1)},
      {2, 2, kStart}, {0, 1, Keys(kStart.begin() + 1, kStart.end())},
  };
  for (const Case& c : kCases) {
    StringBag face = FaceOf(kStart);
    Ref<IStringBag> raw = RawOf(kStart);
    for (int32_t i = c.last - 1; i >= c.first; --i) raw->RemoveAt(i);
    const auto next = face.erase(face.begin() + c.first, face.begin() + c.last);
    EXPECT_EQ(next.index(), c.first) << c.first << ".." << c.last;
    EXPECT_EQ(KeysOf(face), KeysOf(*raw)) << c.first << ".." << c.last;
    EXPECT_EQ(KeysOf(face), c.left) << c.first << ".." << c.last;
  }
}

TEST_F(CppStringBagTest, EqualityIsTheSameKeysInTheSameOrder) {
  struct Case { Keys a, b; bool equal; };
  const Case kCases[] = {
      {{}, {}, true}, {{"x", "y"}, {"x", "y"}, true}, {{"x", "y"}, {"y", "x"}, false},
      {{"x"}, {"x", "y"}, false}, {{"a"}, {std::string("a\0", 2)}, false}, {{"a"}, {"A"}, false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FaceOf(c.a) == FaceOf(c.b), c.equal);
    EXPECT_EQ(FaceOf(c.b) != FaceOf(c.a), !c.equal);
  }
  StringBag one{"1"}, two{"2", "2b"};
  swap(one, two);
  EXPECT_EQ(KeysOf(one), (Keys{"2", "2b"}));
  EXPECT_EQ(KeysOf(two), (Keys{"1"}));
}

TEST_F(CppStringBagTest, PositionsReadInPlaceOrCopyAndThrowOutsideTheBag) {
  const StringBag face = FaceOf(kStart);
  Ref<IStringBag> raw = RawOf(kStart);
  for (std::size_t i = 0; i < kStart.size(); ++i) {
    const DynString rawKey = raw->KeyAt(static_cast<int32_t>(i));
    EXPECT_EQ(face.at(i), rawKey.View()) << i;
    EXPECT_EQ(face.key_copy(i), std::string(rawKey)) << i;
    EXPECT_EQ(face.begin()[static_cast<std::ptrdiff_t>(i)], rawKey.View()) << i;
  }
  for (const std::size_t outside : {kStart.size(), kStart.size() + 1, static_cast<std::size_t>(-1)}) {
    EXPECT_THROW((void)face.at(outside), std::out_of_range) << outside;
    EXPECT_THROW((void)face.key_copy(outside), std::out_of_range) << outside;
  }
}

TEST_F(CppStringBagTest, IteratorsWalkPositionsBothWays) {
  const StringBag face = FaceOf(kStart);
  EXPECT_EQ(face.end() - face.begin(), static_cast<std::ptrdiff_t>(kStart.size()));
  Keys backwards(std::make_reverse_iterator(face.end()), std::make_reverse_iterator(face.begin()));
  Keys expected(kStart.rbegin(), kStart.rend());
  EXPECT_EQ(backwards, expected);
  auto it = face.begin();
  it += 3;
  EXPECT_EQ(*it, "bb");
  EXPECT_EQ(*(it - 2), "A");
  EXPECT_EQ(it[-3], "a");
  EXPECT_EQ((it--).index(), 3);
  EXPECT_EQ((--it).index(), 1);
  EXPECT_LT(face.begin(), it);
  EXPECT_EQ(it->size(), 1u);
  EXPECT_EQ(std::find(face.begin(), face.end(), "bb"sv) - face.begin(), 3);
}

TEST_F(CppStringBagTest, InitializerListKeepsTheFirstOfRepeatedKeys) {
  const StringBag bag{"x", "y", "x", "z", "y"};
  EXPECT_EQ(KeysOf(bag), (Keys{"x", "y", "z"}));
  EXPECT_FALSE(bag.empty());
  EXPECT_TRUE(StringBag{}.empty());
}

TEST_F(CppStringBagTest, CopiesAreIndependentAndMovesHandTheObjectOver) {
  StringBag original{"one", "two"};
  StringBag copy = original;
  copy.insert("three");
  copy.erase("one");
  EXPECT_EQ(KeysOf(original), (Keys{"one", "two"}));
  EXPECT_EQ(KeysOf(copy), (Keys{"two", "three"}));
  EXPECT_NE(copy.raw(), original.raw());

  copy = original;
  EXPECT_EQ(KeysOf(copy), (Keys{"one", "two"}));
  IStringBag* const object = original.raw().Get();
  StringBag moved = std::move(original);
  EXPECT_EQ(moved.raw().Get(), object);
  original = moved;  // a moved-from bag takes an assignment
  EXPECT_EQ(KeysOf(original), (Keys{"one", "two"}));
}

// The interfaces take a DynString, which becomes empty when its copy fails:
// the face throws instead of storing, or removing, the empty key.
TEST_F(CppStringBagTest, AKeyThatCannotBeCopiedThrowsAndChangesNothing) {
  StringBag bag{"", "k"};
  StringToStringMap map{{"k", "v"}, {"", "empty"}};
  struct Case { const char* what; std::function<void()> step; };
  const Case kCases[] = {
      {"bag insert", [&] { bag.insert("new"); }},
      {"bag erase", [&] { bag.erase("k"); }},
      {"map insert_or_assign key", [&] { map.insert_or_assign("new", "x"); }},
      {"map insert_or_assign value", [&] { map.insert_or_assign("", "new value"); }},
  };
  for (const Case& c : kCases) {
    {
      ScopedAllocationFailure failing(1);
      EXPECT_THROW(c.step(), std::bad_alloc) << c.what;
    }
    EXPECT_EQ(LastError(), kErrorOutOfMemory) << c.what;
    ClearError();
    EXPECT_EQ(KeysOf(bag), (Keys{"", "k"})) << c.what;
    EXPECT_EQ(PairsOf(map), (Pairs{{"k", "v"}, {"", "empty"}})) << c.what;
  }
}

// Lookups read the key given as a view in place and copy nothing, so with
// every allocation failing they still answer, hits and misses alike, and
// record no error. "k\0x" and "k\0y" share a chain (the hash stops at the
// zero byte); "k\0" is a prefix of both, "K" differs by case only.
TEST_F(CppStringBagTest, LookupsNeedNoMemoryAndAnswerWhenItRunsOut) {
  const StringBag bag{"", "k", std::string("k\0x", 3), std::string("k\0y", 3)};
  const StringToStringMap map{{"k", "v"}, {"", "empty"}, {std::string("k\0x", 3), "x"}, {"e", ""}};
  CountedObject stored;
  const StringToIUnknownMap objects{{"k", Ref<IUnknown>(&stored)}, {std::string("k\0x", 3), nullptr}};
  struct Case { std::string key; int32_t bagIndex; int32_t mapIndex; std::string value; int32_t objectIndex; };
  const Case kCases[] = {
      {"", 0, 1, "empty", -1},
      {"k", 1, 0, "v", 0},
      {std::string("k\0x", 3), 2, 2, "x", 1},
      {std::string("k\0y", 3), 3, -1, "", -1},
      {std::string("k\0", 2), -1, -1, "", -1},
      {"e", -1, 3, "", -1},
      {"K", -1, -1, "", -1},
      {"a key longer than thirty-two bytes, not stored", -1, -1, "", -1},
  };
  for (const Case& c : kCases) {
    ClearError();
    ScopedAllocationFailure failing(1000);
    const auto found = bag.find(c.key);
    EXPECT_EQ(found == bag.end() ? -1 : found.index(), c.bagIndex) << Shown(c.key);
    EXPECT_EQ(bag.contains(c.key), c.bagIndex >= 0) << Shown(c.key);
    EXPECT_EQ(bag.count(c.key), c.bagIndex >= 0 ? 1u : 0u) << Shown(c.key);
    const auto inMap = map.find(c.key);
    EXPECT_EQ(inMap == map.end() ? -1 : inMap.index(), c.mapIndex) << Shown(c.key);
    EXPECT_EQ(map.contains(c.key), c.mapIndex >= 0) << Shown(c.key);
    EXPECT_EQ(map.lookup(c.key), c.value) << Shown(c.key);
    const auto inObjects = objects.find(c.key);
    EXPECT_EQ(inObjects == objects.end() ? -1 : inObjects.index(), c.objectIndex) << Shown(c.key);
    EXPECT_EQ(objects.lookup(c.key), c.objectIndex == 0 ? &stored : nullptr) << Shown(c.key);
    EXPECT_EQ(LastError(), 0) << Shown(c.key);
  }
}

TEST_F(CppStringBagTest, ClearEmptiesAndTheBagStaysUsable) {
  StringBag bag = FaceOf(kStart);
  bag.clear();
  EXPECT_TRUE(bag.empty());
  EXPECT_EQ(bag.begin(), bag.end());
  EXPECT_TRUE(bag.insert("again").second);
  EXPECT_EQ(KeysOf(bag), (Keys{"again"}));
}

// ---- string to string ---------------------------------------------------------

class CppStringMapTest : public LiveObjectTest {};

const Pairs kPairs = {{"a", "1"}, {"A", "2"}, {std::string("k\0x", 3), "3"}, {"empty", ""}, {"", "5"}};

// insert leaves a present key's value; insert_or_assign is Add, which
// replaces it. Both keep a present key where it is.
TEST_F(CppStringMapTest, InsertKeepsAndInsertOrAssignReplacesAPresentValue) {
  struct Case { bool assign; std::string key; std::string value; int32_t index; bool inserted; std::string after; };
  const Case kCases[] = {
      {false, "new", "v", 5, true, "v"},
      {true, "new", "v", 5, true, "v"},
      {false, "a", "changed", 0, false, "1"},
      {true, "a", "changed", 0, false, "changed"},
      {false, "empty", "filled", 3, false, ""},
      {true, "empty", "filled", 3, false, "filled"},
      {true, "", "", 4, false, ""},
      {true, std::string("k\0y", 3), "same chain", 5, true, "same chain"},
      {false, std::string("k\0x", 3), "x", 2, false, "3"},
  };
  for (const Case& c : kCases) {
    StringToStringMap face = FaceOf(kPairs);
    Ref<IStringToStringMap> raw = RawOf(kPairs);
    const DynString key(c.key);
    const int32_t countBefore = raw->Count();
    int32_t rawIndex = raw->IndexOf(key);
    if (c.assign || rawIndex < 0) rawIndex = raw->Add(key, DynString(c.value));
    const auto [it, inserted] = c.assign ? face.insert_or_assign(c.key, c.value) : face.insert(c.key, c.value);
    const std::string what = (c.assign ? "insert_or_assign " : "insert ") + Shown(c.key);
    EXPECT_EQ(it.index(), rawIndex) << what;
    EXPECT_EQ(inserted, rawIndex == countBefore) << what;
    EXPECT_EQ(it.index(), c.index) << what;
    EXPECT_EQ(inserted, c.inserted) << what;
    EXPECT_EQ(it->second, c.after) << what;
    EXPECT_EQ(PairsOf(face), PairsOf(*raw)) << what;
  }
}

TEST_F(CppStringMapTest, LookupsAreItemAndIndexOf) {
  struct Case { std::string key; bool found; std::string value; };
  const Case kCases[] = {
      {"a", true, "1"}, {"A", true, "2"}, {std::string("k\0x", 3), true, "3"}, {"empty", true, ""},
      {"", true, "5"}, {"k", false, ""}, {std::string("k\0", 2), false, ""}, {"b", false, ""},
  };
  const StringToStringMap face = FaceOf(kPairs);
  Ref<IStringToStringMap> raw = RawOf(kPairs);
  for (const Case& c : kCases) {
    const DynString key(c.key);
    const DynString item = raw->Item(key);
    EXPECT_EQ(face.lookup(c.key), item.View()) << Shown(c.key);
    EXPECT_EQ(face.lookup_copy(c.key), std::string(item)) << Shown(c.key);
    EXPECT_EQ(face.lookup(c.key), c.value) << Shown(c.key);
    EXPECT_EQ(face.contains(c.key), raw->Contains(key) == -1) << Shown(c.key);
    EXPECT_EQ(face.contains(c.key), c.found) << Shown(c.key);
    const auto it = face.find(c.key);
    EXPECT_EQ(it == face.end() ? -1 : it.index(), raw->IndexOf(key)) << Shown(c.key);
  }
}

// A map's insert looks the key up first: a present key keeps its value and
// needs no copy, so it answers even when memory has run out.
TEST_F(CppStringMapTest, InsertOfAPresentKeyNeedsNoMemory) {
  StringToStringMap map{{"k", "v"}, {"", "empty"}};
  struct Case { std::string key; int32_t index; };
  const Case kCases[] = {{"k", 0}, {"", 1}};
  for (const Case& c : kCases) {
    ClearError();
    {
      ScopedAllocationFailure failing(1000);
      const auto [it, inserted] = map.insert(c.key, "a value that would need a copy");
      EXPECT_EQ(it.index(), c.index) << Shown(c.key);
      EXPECT_FALSE(inserted) << Shown(c.key);
    }
    EXPECT_EQ(LastError(), 0) << Shown(c.key);
    EXPECT_EQ(PairsOf(map), (Pairs{{"k", "v"}, {"", "empty"}})) << Shown(c.key);
  }
}

TEST_F(CppStringMapTest, EraseIsRemoveAndRemoveAt) {
  struct Case { std::string key; std::size_t removed; };
  for (const Case& c : {Case{"A", 1}, Case{"", 1}, Case{"none", 0}, Case{std::string("k\0x", 3), 1}}) {
    StringToStringMap face = FaceOf(kPairs);
    Ref<IStringToStringMap> raw = RawOf(kPairs);
    raw->Remove(DynString(c.key));
    EXPECT_EQ(face.erase(c.key), c.removed) << Shown(c.key);
    EXPECT_EQ(PairsOf(face), PairsOf(*raw)) << Shown(c.key);
  }
  for (int32_t position = 0; position < static_cast<int32_t>(kPairs.size()); ++position) {
    StringToStringMap face = FaceOf(kPairs);
    Ref<IStringToStringMap> raw = RawOf(kPairs);
    raw->RemoveAt(position);
    EXPECT_EQ(face.erase(face.begin() + position).index(), position);
    EXPECT_EQ(PairsOf(face), PairsOf(*raw)) << "position " << position;
  }
}

TEST_F(CppStringMapTest, PositionsAndTheirCopies) {
  const StringToStringMap face{{"x", "1"}, {"y", "2"}, {"x", "3"}};  // the first "x" stays
  EXPECT_EQ(PairsOf(face), (Pairs{{"x", "1"}, {"y", "2"}}));
  Ref<IStringToStringMap> raw = RawOf(Pairs{{"x", "1"}, {"y", "2"}});
  for (std::size_t i = 0; i < face.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    EXPECT_EQ(face.key_copy(i), std::string(raw->KeyAt(index)));
    EXPECT_EQ(face.value_copy(i), std::string(raw->ValueAt(index)));
    EXPECT_EQ(face.at(i).second, face.value_copy(i));
  }
  EXPECT_THROW((void)face.value_copy(2), std::out_of_range);
  EXPECT_THROW((void)face.at(2), std::out_of_range);
}

// ---- the object maps ----------------------------------------------------------

struct TextKeys {
  using Face = StringToIUnknownMap;
  static std::string Key(uint32_t n) { return "key" + std::to_string(n); }
  static Ref<IStringToIUnknownMap> Raw() { return NewStringToIUnknownMap(); }
  static DynString RawKey(uint32_t n) { return DynString(Key(n)); }
  static bool Same(std::string_view key, const DynString& rawKey) { return key == rawKey.View(); }
};
struct NumberKeys {
  using Face = DWordToIUnknownMap;
  static uint32_t Key(uint32_t n) { return n == 1 ? 4294967295u : n * 2654435761u; }
  static Ref<IDWordToIUnknownMap> Raw() { return NewDWordToIUnknownMap(); }
  static uint32_t RawKey(uint32_t n) { return Key(n); }
  static bool Same(uint32_t key, uint32_t rawKey) { return key == rawKey; }
};

template <class K>
class CppObjectMapTest : public LiveObjectTest {
 protected:
  CountedObject objects_[3];
  Ref<IUnknown> Object(int id) { return id < 0 ? Ref<IUnknown>() : Ref<IUnknown>(&objects_[id]); }
  int IdOf(IUnknown* object) const {
    for (int id = 0; id < 3; ++id) {
      if (object == &objects_[id]) return id;
    }
    return object == nullptr ? -1 : -2;
  }
  // Keys 0..2 with objects 0..2, then key 3 with no object.
  template <class Map>
  void Fill(Map& map) {
    for (uint32_t n = 0; n < 3; ++n) map.insert_or_assign(K::Key(n), Object(static_cast<int>(n)));
    map.insert_or_assign(K::Key(3), Object(-1));
  }
  void FillRaw(auto& raw) {
    for (uint32_t n = 0; n < 3; ++n) raw->Add(K::RawKey(n), Object(static_cast<int>(n)));
    raw->Add(K::RawKey(3), Object(-1));
  }
};
using KeyKinds = ::testing::Types<TextKeys, NumberKeys>;
TYPED_TEST_SUITE(CppObjectMapTest, KeyKinds);

// Each case on a face and on a raw map: the results, the stored pairs in
// order and the references each map holds to each object must agree with
// each other and with the table. Before the case each map holds one
// reference to each object.
TYPED_TEST(CppObjectMapTest, InsertAssignAndEraseCountLikeTheInterface) {
  using K = TypeParam;
  enum Op { kInsert, kAssign, kEraseKey, kErasePosition };
  struct Case { Op op; uint32_t key; int object; std::size_t result; int references[3]; };
  const Case kCases[] = {
      {kInsert, 9, 0, 1, {2, 1, 1}},  {kInsert, 1, 0, 0, {1, 1, 1}},  {kAssign, 1, 0, 0, {2, 0, 1}},
      {kAssign, 2, -1, 0, {1, 1, 0}}, {kAssign, 3, 2, 0, {1, 1, 2}},  {kAssign, 8, 1, 1, {1, 2, 1}},
      {kEraseKey, 0, -1, 1, {0, 1, 1}}, {kEraseKey, 7, -1, 0, {1, 1, 1}}, {kErasePosition, 1, -1, 1, {1, 0, 1}},
  };
  for (const Case& c : kCases) {
    typename K::Face face;
    this->Fill(face);
    auto raw = K::Raw();
    this->FillRaw(raw);
    std::size_t result = 0;
    switch (c.op) {
      case kInsert:
        result = face.insert(K::Key(c.key), this->Object(c.object)).second ? 1 : 0;
        if (!raw->Contains(K::RawKey(c.key))) raw->Add(K::RawKey(c.key), this->Object(c.object));
        break;
      case kAssign:
        result = face.insert_or_assign(K::Key(c.key), this->Object(c.object)).second ? 1 : 0;
        raw->SetItem(K::RawKey(c.key), this->Object(c.object));
        break;
      case kEraseKey:
        result = face.erase(K::Key(c.key));
        raw->Remove(K::RawKey(c.key));
        break;
      case kErasePosition:
        result = face.erase(face.begin() + c.key) != face.end() ? 1 : 0;
        raw->RemoveAt(static_cast<int32_t>(c.key));
        break;
    }
    EXPECT_EQ(result, c.result) << "case op " << c.op << " key " << c.key;
    ASSERT_EQ(face.size(), static_cast<std::size_t>(raw->Count()));
    for (int32_t i = 0; i < raw->Count(); ++i) {
      const auto [key, object] = face.at(static_cast<std::size_t>(i));
      EXPECT_TRUE(K::Same(key, raw->KeyAt(i))) << "position " << i;
      EXPECT_EQ(this->IdOf(object), this->IdOf(raw->ValueAt(i).Get())) << "position " << i;
      EXPECT_EQ(face.find(key).index(), i);
    }
    // The test's own count, then the same number from each map.
    for (int id = 0; id < 3; ++id) {
      EXPECT_EQ(this->objects_[id].Count(), 1 + 2 * c.references[id]) << "case op " << c.op << " object " << id;
    }
    raw = nullptr;
    for (int id = 0; id < 3; ++id) {
      EXPECT_EQ(this->objects_[id].Count(), 1 + c.references[id]) << "case op " << c.op << " object " << id;
    }
  }
}

TYPED_TEST(CppObjectMapTest, LookupsHandOutViewsOrCountedReferences) {
  using K = TypeParam;
  typename K::Face face;
  this->Fill(face);
  for (uint32_t n = 0; n < 5; ++n) {
    const int expected = n < 3 ? static_cast<int>(n) : -1;
    EXPECT_EQ(this->IdOf(face.lookup(K::Key(n))), expected) << n;
    const int32_t before = n < 3 ? this->objects_[n].Count() : 0;
    Ref<IUnknown> copy = face.lookup_copy(K::Key(n));
    EXPECT_EQ(this->IdOf(copy.Get()), expected) << n;
    if (n < 3) {
      EXPECT_EQ(this->objects_[n].Count(), before + 1) << "a copy is counted";
    }
    EXPECT_EQ(face.contains(K::Key(n)), n < 4) << n;
  }
  EXPECT_EQ(this->IdOf(face.value_copy(2).Get()), 2);
  EXPECT_THROW((void)face.value_copy(4), std::out_of_range);
}

// A user's own object, made without a hand-written IUnknown, shared by a map.
class Sprite final : public UnknownImpl<Sprite> {
 public:
  Sprite(int pixels, bool* destroyed) : size(pixels), destroyed_(destroyed) {}
  ~Sprite() { *destroyed_ = true; }
  int size;

 private:
  bool* destroyed_;
};

TYPED_TEST(CppObjectMapTest, HoldsAUsersOwnObjectUntilTheLastReferenceGoes) {
  using K = TypeParam;
  bool destroyed = false;
  {
    typename K::Face face;
    {
      Ref<Sprite> sprite = MakeObject<Sprite>(7, &destroyed);
      face.insert_or_assign(K::Key(1), sprite);
      typename K::Face other{{K::Key(2), sprite}};
      EXPECT_EQ(ReferenceCount(*sprite), 3u);  // ours and the two maps'

    }
    EXPECT_FALSE(destroyed);
    Ref<IUnknown> back = face.lookup_copy(K::Key(1));
    Ref<Sprite> asSprite(static_cast<Sprite*>(back.Get()));
    EXPECT_EQ(asSprite->size, 7);
  }
  EXPECT_TRUE(destroyed);
}

// ---- views after a change -------------------------------------------------------

TEST(CppContainerViews, AConstFaceAnswersEveryReadingOperation) {
  const StringToStringMap map{{"k", "v"}};
  const auto& ref = map;
  EXPECT_EQ(ref.size(), 1u);
  EXPECT_EQ(ref.lookup("k"), "v");
  EXPECT_EQ(ref.raw()->Count(), 1);  // the interface's own Count, on a const face
}

#if defined(__SANITIZE_ADDRESS__)
#define HB_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HB_TEST_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef HB_TEST_ADDRESS_SANITIZER
bool g_spriteDestroyed = false;
// Reads every byte of the view, as a caller would.
std::string Read(std::string_view view) { return std::string(view); }

TEST(CppContainerViewsDeathTest, AViewUsedAfterAChangeReadsFreedMemory) {
  StringBag bag{"a key longer than the inline size"};
  const std::string_view key = bag.at(0);
  bag.erase(bag.begin());
  EXPECT_DEATH(Read(key), "heap-use-after-free");

  StringToStringMap map{{"k", "a value"}};
  const std::string_view value = map.lookup("k");
  map.insert_or_assign("k", "a longer value");
  EXPECT_DEATH(Read(value), "heap-use-after-free");
}

TEST(CppContainerViewsDeathTest, AnObjectSeenInPlaceGoesWithItsLastReference) {
  StringToIUnknownMap map{{"only", MakeObject<Sprite>(1, &g_spriteDestroyed)}};  // the map's is the last
  IUnknown* const seen = map.lookup("only");
  map.erase("only");
  ASSERT_TRUE(g_spriteDestroyed);
  EXPECT_DEATH(seen->AddRef(), "heap-use-after-free");
}

TEST(CppContainerViewsDeathTest, AnIteratorUsedAfterItsContainerWentReadsFreedMemory) {
  StringBag::const_iterator it;
  {
    StringBag bag{"x", "y"};
    it = bag.begin();
  }
  EXPECT_DEATH(Read(*it), "heap-use-after-free");
}
#endif

}  // namespace
}  // namespace hb::test
