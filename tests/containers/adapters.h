// One face for the four containers, so that a test (and the fuzz target)
// can be written once and run on each.
//
// Keys are made from numbers: text keys come in families that differ only in
// letter case or behind a zero byte (the latter share their hash, so they meet
// in one chain); 32-bit keys include 0 and 4294967295. Values are small ids:
// kNoValue is the empty value (empty string, null object); object ids name
// CountedObjects of a pool that outlives every container, so a test can check
// each value's count exactly.
#pragma once

#include <cstdint>
#include <string>

#include "containers/capacity.h"
#include "containers/dword_to_iunknown_map.h"
#include "containers/key_hash.h"
#include "containers/string_bag.h"
#include "containers/string_to_iunknown_map.h"
#include "containers/string_to_string_map.h"
#include "containers/table_view.h"
#include "runtime/dyn_string.h"
#include "runtime/object.h"
#include "tests/support/counted_object.h"

namespace hb::test {

inline constexpr int kNoValue = -1;
inline constexpr int kPoolSize = 8;

// The value objects; each keeps one count of its own.
inline CountedObject* ValuePool() {
  static CountedObject pool[kPoolSize];
  return pool;
}

// "<prefix><number>". Appended to a new string rather than written as
// literal + std::to_string(...): GCC 12 at -O3 warns falsely (-Wrestrict)
// inside libstdc++'s operator+ on a temporary.
template <typename Number>
std::string Numbered(char prefix, Number number) {
  std::string text(1, prefix);
  text += std::to_string(number);
  return text;
}

// "k<n/4>", "k<n/4>\0z", "K<n/4>", "k<n/4>\0": four distinct keys, three of
// them with the same hash. Key 0 is the empty text.
inline DynString TextKey(uint32_t n) {
  if (n == 0) return DynString();
  std::string text = Numbered('k', n / 4);
  switch (n % 4) {
    case 1: text += std::string("\0z", 2); break;
    case 2: text[0] = 'K'; break;
    case 3: text += '\0'; break;
    default: break;
  }
  return DynString(text);
}

inline uint32_t NumberKey(uint32_t n) {
  if (n == 0) return 0;
  if (n == 1) return 4294967295u;
  return n * 2654435761u;  // odd multiplier: distinct keys spread over all 32 bits
}

inline std::string Printable(const DynString& text) {
  std::string out;
  for (char c : text.View()) out += c == '\0' ? std::string("\\0") : std::string(1, c);
  return "\"" + out + "\"";
}
inline std::string Printable(uint32_t key) { return std::to_string(key); }

inline DynString TextValue(int id) { return id == kNoValue ? DynString() : DynString(Numbered('v', id)); }
inline int TextValueId(const DynString& value) {
  return value.Empty() ? kNoValue : std::stoi(std::string(value.View().substr(1)));
}

inline Ref<IUnknown> ObjectValue(int id) {
  return id == kNoValue ? Ref<IUnknown>() : Ref<IUnknown>(&ValuePool()[id % kPoolSize]);
}
inline int ObjectValueId(const Ref<IUnknown>& value) {
  for (int i = 0; i < kPoolSize; ++i) {
    if (value.Get() == &ValuePool()[i]) return i;
  }
  return value ? -2 : kNoValue;  // -2: an object that is not a pool value
}

struct BagAdapter {
  using Container = IStringBag;
  using Key = DynString;
  static constexpr bool kHasValues = false;
  static constexpr bool kObjectValues = false;
  static constexpr int kValueIds = 1;
  static Ref<Container> Make() { return NewStringBag(); }
  static Key MakeKey(uint32_t n) { return TextKey(n); }
  static int32_t Add(Container& c, const Key& key, int) { return c.Add(key); }
  static void SetItem(Container& c, const Key& key, int) { c.Add(key); }
  static int Item(Container&, const Key&) { return kNoValue; }
  static int ValueAt(Container&, int32_t) { return kNoValue; }
  static Key KeyAt(Container& c, int32_t index) { return c.KeyAt(index); }
};

struct StringMapAdapter {
  using Container = IStringToStringMap;
  using Key = DynString;
  static constexpr bool kHasValues = true;
  static constexpr bool kObjectValues = false;
  static constexpr int kValueIds = 1000;
  static Ref<Container> Make() { return NewStringToStringMap(); }
  static Key MakeKey(uint32_t n) { return TextKey(n); }
  static int32_t Add(Container& c, const Key& key, int value) { return c.Add(key, TextValue(value)); }
  static void SetItem(Container& c, const Key& key, int value) { c.SetItem(key, TextValue(value)); }
  static int Item(Container& c, const Key& key) { return TextValueId(c.Item(key)); }
  static int ValueAt(Container& c, int32_t index) { return TextValueId(c.ValueAt(index)); }
  static Key KeyAt(Container& c, int32_t index) { return c.KeyAt(index); }
};

struct ObjectMapAdapter {
  using Container = IStringToIUnknownMap;
  using Key = DynString;
  static constexpr bool kHasValues = true;
  static constexpr bool kObjectValues = true;
  static constexpr int kValueIds = kPoolSize;
  static Ref<Container> Make() { return NewStringToIUnknownMap(); }
  static Key MakeKey(uint32_t n) { return TextKey(n); }
  static int32_t Add(Container& c, const Key& key, int value) { return c.Add(key, ObjectValue(value)); }
  static void SetItem(Container& c, const Key& key, int value) { c.SetItem(key, ObjectValue(value)); }
  static int Item(Container& c, const Key& key) { return ObjectValueId(c.Item(key)); }
  static int ValueAt(Container& c, int32_t index) { return ObjectValueId(c.ValueAt(index)); }
  static Key KeyAt(Container& c, int32_t index) { return c.KeyAt(index); }
};

struct NumberMapAdapter {
  using Container = IDWordToIUnknownMap;
  using Key = uint32_t;
  static constexpr bool kHasValues = true;
  static constexpr bool kObjectValues = true;
  static constexpr int kValueIds = kPoolSize;
  static Ref<Container> Make() { return NewDWordToIUnknownMap(); }
  static Key MakeKey(uint32_t n) { return NumberKey(n); }
  static int32_t Add(Container& c, const Key& key, int value) { return c.Add(key, ObjectValue(value)); }
  static void SetItem(Container& c, const Key& key, int value) { c.SetItem(key, ObjectValue(value)); }
  static int Item(Container& c, const Key& key) { return ObjectValueId(c.Item(key)); }
  static int ValueAt(Container& c, int32_t index) { return ObjectValueId(c.ValueAt(index)); }
  static Key KeyAt(Container& c, int32_t index) { return c.KeyAt(index); }
};

inline int32_t KeyHash(const DynString& key) { return HashText(key.Data(), key.Length()); }
inline int32_t KeyHash(uint32_t key) { return HashDWord(key); }
inline bool SameKey(const DynString& a, const DynString& b) { return Equal(a, b); }
inline bool SameKey(uint32_t a, uint32_t b) { return a == b; }
// What KeyAt returns for an index out of range.
inline bool IsMissKey(const DynString& key) { return key.Empty(); }
inline bool IsMissKey(uint32_t key) { return key == 0; }

}  // namespace hb::test
