// The four containers as C++ classes: hb::StringBag, hb::StringToStringMap,
// hb::StringToIUnknownMap and hb::DWordToIUnknownMap, each owning one
// reference to a container object and calling its interface. Nothing here
// changes the interfaces; a program that does not include this header pays
// nothing for it.
//
//   hb::StringBag bag{"pear", "fig"};
//   bag.insert("plum");
//   for (std::string_view key : bag) ...        // insertion order
//   hb::StringToStringMap map{{"a", "1"}};
//   for (auto [key, value] : map) ...
//
// Positions are the interfaces' indices: 0 to size() - 1 in insertion order.
// Iterators are random access over positions, all of them const (an entry
// changes through the container, never through an iterator); an iterator is
// a position in one container, which after a change names whatever entry
// then sits there, and must not outlive the container.
//
// Views and copies: at(), lookup() and dereferenced iterators hand out
// views of the stored bytes (std::string_view) and of stored objects
// (uncounted IUnknown*), read in place without a copy; the *_copy
// operations hand out a std::string or a counted Ref the caller owns.
//
// Keys given as std::string_view are looked up by their bytes in place
// (IndexOfView, stored_views.h): find, contains, count, lookup and the
// lookup step of a map's insert copy nothing, need no memory and cannot
// fail. Keys and values that are stored (insert, insert_or_assign), and the
// key of erase and lookup_copy, are copied once into the DynString the
// interface takes. Errors: construction, copying and the copy of a key or
// value throw std::bad_alloc when memory runs out (runtime error 7 is
// recorded too, see errors.h); insert and insert_or_assign return
// {end(), false} when nothing could be stored (memory exhausted, or the
// container at its largest size); at() and the positional *_copy throw
// std::out_of_range outside 0 to size() - 1. A moved-from container may
// only be destroyed or assigned to. An object belongs to one thread.
//
// Costs below, for n entries: "a lookup" hashes the key once and walks one
// short bucket chain (expected O(1)); adding may grow the table, amortized
// O(1).
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "containers/dword_to_iunknown_map.h"
#include "containers/stored_views.h"
#include "containers/string_bag.h"
#include "containers/string_to_iunknown_map.h"
#include "containers/string_to_string_map.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {
namespace face_detail {

// A key or value as the interface takes it. A text whose copy could not be
// made throws rather than passing on the empty string it would become.
inline DynString ToInterface(std::string_view text) {
  DynString copy(text);
  if (copy.Length() != text.size()) throw std::bad_alloc();
  return copy;
}
inline uint32_t ToInterface(uint32_t key) noexcept { return key; }
inline const Ref<IUnknown>& ToInterface(const Ref<IUnknown>& value) noexcept { return value; }

// IndexOf without a copy: a text key by its bytes in place, a number as it is.
template <class Interface>
int32_t IndexOfKey(Interface& container, std::string_view key) noexcept {
  return IndexOfView(container, key);
}
inline int32_t IndexOfKey(IDWordToIUnknownMap& map, uint32_t key) noexcept { return map.IndexOf(key); }

// What the interface hands out, as the caller's own copy.
inline std::string Owned(const DynString& text) { return std::string(text); }
inline Ref<IUnknown> Owned(Ref<IUnknown> value) noexcept { return value; }

// For operator->: holds the value a dereference made.
template <class Value>
struct Arrow {
  Value value;
  const Value* operator->() const noexcept { return &value; }
};

// A position in one container; dereferencing reads the entry there in place
// (Face::ViewAt).
template <class Face>
class Iterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using iterator_concept = std::random_access_iterator_tag;
  using value_type = typename Face::value_type;
  using difference_type = std::ptrdiff_t;
  using reference = value_type;  // a view, made on each dereference
  using pointer = void;

  Iterator() noexcept = default;

  reference operator*() const noexcept { return Face::ViewAt(*container_, index_); }
  Arrow<value_type> operator->() const noexcept { return {**this}; }
  reference operator[](difference_type n) const noexcept { return *(*this + n); }

  Iterator& operator++() noexcept { return *this += 1; }
  Iterator operator++(int) noexcept {
    Iterator old = *this;
    ++*this;
    return old;
  }
  Iterator& operator--() noexcept { return *this -= 1; }
  Iterator operator--(int) noexcept {
    Iterator old = *this;
    --*this;
    return old;
  }
  Iterator& operator+=(difference_type n) noexcept {
    index_ += static_cast<int32_t>(n);
    return *this;
  }
  Iterator& operator-=(difference_type n) noexcept { return *this += -n; }
  friend Iterator operator+(Iterator it, difference_type n) noexcept { return it += n; }
  friend Iterator operator+(difference_type n, Iterator it) noexcept { return it += n; }
  friend Iterator operator-(Iterator it, difference_type n) noexcept { return it -= n; }
  friend difference_type operator-(const Iterator& a, const Iterator& b) noexcept {
    return difference_type{a.index_} - b.index_;
  }
  friend bool operator==(const Iterator& a, const Iterator& b) noexcept { return a.index_ == b.index_; }
  friend auto operator<=>(const Iterator& a, const Iterator& b) noexcept { return a.index_ <=> b.index_; }

  // The position: the interface's index of the entry, size() at the end.
  int32_t index() const noexcept { return index_; }

 private:
  template <class, class, class>
  friend class Common;
  template <class, class, class, class>
  friend class MapCommon;
  Iterator(typename Face::Interface* container, int32_t index) noexcept : container_(container), index_(index) {}

  typename Face::Interface* container_ = nullptr;  // not counted: the face owns the container
  int32_t index_ = 0;
};

// What the four faces share. KeyArg is how a key is given: std::string_view
// or uint32_t.
template <class Face, class InterfaceType, class KeyArg>
class Common {
 public:
  using Interface = InterfaceType;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = Iterator<Face>;
  using iterator = const_iterator;

  // O(1).
  size_type size() const noexcept { return static_cast<size_type>(ref_->Count()); }
  bool empty() const noexcept { return ref_->Count() == 0; }

  const_iterator begin() const noexcept { return At(0); }
  const_iterator end() const noexcept { return At(ref_->Count()); }
  const_iterator cbegin() const noexcept { return begin(); }
  const_iterator cend() const noexcept { return end(); }

  // One lookup (IndexOf, the key read in place: no copy, cannot fail);
  // end() on a miss.
  const_iterator find(KeyArg key) const noexcept {
    const int32_t index = IndexOfKey(*ref_, key);
    return index < 0 ? end() : At(index);
  }
  // One lookup (as find): true or false, where the interface's Contains
  // answers -1 or 0.
  bool contains(KeyArg key) const noexcept { return IndexOfKey(*ref_, key) >= 0; }
  size_type count(KeyArg key) const noexcept { return contains(key) ? 1 : 0; }

  // Remove: a lookup, then RemoveAt, which moves every later entry down one
  // position, O(n - position). Returns the number removed, 0 or 1. The key
  // is copied for the interface: std::bad_alloc, nothing removed, when
  // memory runs out.
  size_type erase(KeyArg key) {
    const int32_t before = ref_->Count();
    ref_->Remove(ToInterface(key));
    return static_cast<size_type>(before - ref_->Count());
  }
  // RemoveAt(position): moves every later entry down one position,
  // O(n - position); erasing from the end is cheap, from the front O(n).
  // Returns the iterator at the same position, now the following entry.
  const_iterator erase(const_iterator position) {
    ref_->RemoveAt(position.index());
    return At(position.index());
  }
  // RemoveAt for each position from last - 1 down to first: O(k (n - first))
  // for k entries. Returns the iterator at first, now the entry that followed them.
  const_iterator erase(const_iterator first, const_iterator last) {
    for (int32_t i = last.index(); i > first.index(); --i) ref_->RemoveAt(i - 1);
    return At(first.index());
  }
  // Clear: O(n + buckets); the bucket count stays.
  void clear() { ref_->Clear(); }

  // Exchanges the container objects, O(1).
  void swap(Face& other) noexcept { std::swap(ref_, other.ref_); }
  friend void swap(Face& a, Face& b) noexcept { a.swap(b); }

  // The same entries in the same order (objects compared by address), O(n).
  friend bool operator==(const Face& a, const Face& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

  // The container object itself, for the interfaces' own operations.
  const Ref<Interface>& raw() const noexcept { return ref_; }

 protected:
  explicit Common(Ref<Interface> made) : ref_(std::move(made)) {
    if (!ref_) throw std::bad_alloc();
  }
  Common(const Common& other) : Common(Face::Make()) { CopyEntriesOf(other); }
  Common(Common&& other) noexcept = default;
  Common& operator=(const Common& other) {
    if (this != &other) {
      Common copy(other);
      std::swap(ref_, copy.ref_);
    }
    return *this;
  }
  Common& operator=(Common&& other) noexcept {
    std::swap(ref_, other.ref_);
    return *this;
  }
  ~Common() = default;

  const_iterator At(int32_t index) const noexcept { return const_iterator(ref_.Get(), index); }
  // Add's result as insert's: new when the index is the old count.
  std::pair<const_iterator, bool> Added(int32_t index, int32_t countBefore) const noexcept {
    if (index < 0) return {end(), false};
    return {At(index), index == countBefore};
  }
  // Position i, or std::out_of_range.
  int32_t Checked(size_type i) const {
    if (i >= size()) throw std::out_of_range("hb container position out of range");
    return static_cast<int32_t>(i);
  }

  Ref<Interface> ref_;

 private:
  void CopyEntriesOf(const Common& other) {
    Interface& from = *other.ref_;
    for (int32_t i = 0, n = from.Count(); i < n; ++i) {
      int32_t added;
      if constexpr (requires(Interface& map) { map.ValueAt(0); }) {
        added = ref_->Add(from.KeyAt(i), from.ValueAt(i));
      } else {
        added = ref_->Add(from.KeyAt(i));
      }
      if (added < 0) throw std::bad_alloc();
    }
  }
};

// What the three maps add. ValueArg is how a value is given: std::string_view
// or const Ref<IUnknown>&.
template <class Face, class InterfaceType, class KeyArg, class ValueArg>
class MapCommon : public Common<Face, InterfaceType, KeyArg> {
  using Base = Common<Face, InterfaceType, KeyArg>;

 public:
  using typename Base::const_iterator;
  using typename Base::size_type;

  // Adds a new key with its value; a present key keeps its value, and the
  // result points at it with false. A lookup (as find: a present key is
  // neither copied nor can fail), then for a new key Add of copies of the
  // key and value, which looks the key up once more: two lookups of a new key.
  std::pair<const_iterator, bool> insert(KeyArg key, ValueArg value) {
    const int32_t found = IndexOfKey(*this->ref_, key);
    if (found >= 0) return {this->At(found), false};
    const int32_t before = this->ref_->Count();
    return this->Added(this->ref_->Add(ToInterface(key), ToInterface(value)), before);
  }
  // Add: one lookup; a present key takes the new value and keeps its
  // position (true when the key was new).
  std::pair<const_iterator, bool> insert_or_assign(KeyArg key, ValueArg value) {
    const int32_t before = this->ref_->Count();
    return this->Added(this->ref_->Add(ToInterface(key), ToInterface(value)), before);
  }

  // ValueAt(i), O(1): a copy of the value (std::string), or a counted
  // reference; std::out_of_range outside 0 to size() - 1.
  auto value_copy(size_type i) const { return Owned(this->ref_->ValueAt(this->Checked(i))); }
  // Item(key), one lookup: a copy of the value, or a counted reference; the
  // empty value (empty string, null) on a miss. The key is copied for the
  // interface.
  auto lookup_copy(KeyArg key) const { return Owned(this->ref_->Item(ToInterface(key))); }
  // One lookup (as find: no copy, cannot fail): the stored value, read in
  // place, valid until the next change; the empty value on a miss.
  auto lookup(KeyArg key) const noexcept {
    const int32_t index = IndexOfKey(*this->ref_, key);
    return StoredPairView(*this->ref_, index).second;
  }

 protected:
  using Base::Base;
};

}  // namespace face_detail

// A set of distinct byte strings in insertion order (cStringBag).
class StringBag : public face_detail::Common<StringBag, IStringBag, std::string_view> {
 public:
  using value_type = std::string_view;
  using key_type = std::string_view;

  // NewStringBag: an empty bag.
  StringBag() : Common(Make()) {}
  // Adds the keys in order; a repeated key stays where it first came.
  StringBag(std::initializer_list<std::string_view> keys) : StringBag() {
    for (std::string_view key : keys) insert(key);
  }

  // The key at position i, read in place, valid until the next change; O(1).
  std::string_view at(size_type i) const { return StoredKeyView(*ref_, Checked(i)); }
  // KeyAt(i), O(1): a copy of the key.
  std::string key_copy(size_type i) const { return face_detail::Owned(ref_->KeyAt(Checked(i))); }

  // Add: one lookup; a present key stays where it is (false).
  std::pair<const_iterator, bool> insert(std::string_view key) {
    const int32_t before = ref_->Count();
    return Added(ref_->Add(face_detail::ToInterface(key)), before);
  }

 private:
  friend Common;
  friend const_iterator;
  static Ref<IStringBag> Make() { return NewStringBag(); }
  static value_type ViewAt(IStringBag& bag, int32_t index) noexcept { return StoredKeyView(bag, index); }
};

// Byte-string keys to byte-string values in insertion order
// (cStringToStringMap). Values are copied in.
class StringToStringMap
    : public face_detail::MapCommon<StringToStringMap, IStringToStringMap, std::string_view, std::string_view> {
 public:
  using value_type = std::pair<std::string_view, std::string_view>;
  using key_type = std::string_view;
  using mapped_type = std::string_view;

  // NewStringToStringMap: an empty map.
  StringToStringMap() : MapCommon(Make()) {}
  // Adds the pairs in order; a repeated key keeps its first value.
  StringToStringMap(std::initializer_list<value_type> pairs) : StringToStringMap() {
    for (const value_type& pair : pairs) insert(pair.first, pair.second);
  }

  // The key and value at position i, read in place, valid until the next change; O(1).
  value_type at(size_type i) const { return StoredPairView(*ref_, Checked(i)); }
  // KeyAt(i), O(1): a copy of the key.
  std::string key_copy(size_type i) const { return face_detail::Owned(ref_->KeyAt(Checked(i))); }

 private:
  friend Common;
  friend const_iterator;
  static Ref<IStringToStringMap> Make() { return NewStringToStringMap(); }
  static value_type ViewAt(IStringToStringMap& map, int32_t index) noexcept { return StoredPairView(map, index); }
};

// Byte-string keys to shared objects in insertion order
// (cStringToIUnknownMap). The map holds one count of each stored object.
class StringToIUnknownMap : public face_detail::MapCommon<StringToIUnknownMap, IStringToIUnknownMap,
                                                          std::string_view, const Ref<IUnknown>&> {
 public:
  using value_type = std::pair<std::string_view, IUnknown*>;
  using key_type = std::string_view;
  using mapped_type = Ref<IUnknown>;

  // NewStringToIUnknownMap: an empty map.
  StringToIUnknownMap() : MapCommon(Make()) {}
  // Adds the pairs in order; a repeated key keeps its first value.
  StringToIUnknownMap(std::initializer_list<std::pair<std::string_view, Ref<IUnknown>>> pairs)
      : StringToIUnknownMap() {
    for (const auto& pair : pairs) insert(pair.first, pair.second);
  }

  // The key and the (uncounted) object at position i, read in place, valid until the next change; O(1).
  value_type at(size_type i) const { return StoredPairView(*ref_, Checked(i)); }
  // KeyAt(i), O(1): a copy of the key.
  std::string key_copy(size_type i) const { return face_detail::Owned(ref_->KeyAt(Checked(i))); }

 private:
  friend Common;
  friend const_iterator;
  static Ref<IStringToIUnknownMap> Make() { return NewStringToIUnknownMap(); }
  static value_type ViewAt(IStringToIUnknownMap& map, int32_t index) noexcept {
    return StoredPairView(map, index);
  }
};

// Unsigned 32-bit keys to shared objects in insertion order
// (cDWordToIUnknownMap). The map holds one count of each stored object.
class DWordToIUnknownMap
    : public face_detail::MapCommon<DWordToIUnknownMap, IDWordToIUnknownMap, uint32_t, const Ref<IUnknown>&> {
 public:
  using value_type = std::pair<uint32_t, IUnknown*>;
  using key_type = uint32_t;
  using mapped_type = Ref<IUnknown>;

  // NewDWordToIUnknownMap: an empty map.
  DWordToIUnknownMap() : MapCommon(Make()) {}
  // Adds the pairs in order; a repeated key keeps its first value.
  DWordToIUnknownMap(std::initializer_list<std::pair<uint32_t, Ref<IUnknown>>> pairs) : DWordToIUnknownMap() {
    for (const auto& pair : pairs) insert(pair.first, pair.second);
  }

  // The key and the (uncounted) object at position i, the object valid until the next change; O(1).
  value_type at(size_type i) const { return StoredPairView(*ref_, Checked(i)); }

 private:
  friend Common;
  friend const_iterator;
  static Ref<IDWordToIUnknownMap> Make() { return NewDWordToIUnknownMap(); }
  static value_type ViewAt(IDWordToIUnknownMap& map, int32_t index) noexcept { return StoredPairView(map, index); }
};

}  // namespace hb
