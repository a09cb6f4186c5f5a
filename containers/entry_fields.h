// The field operations that entry classes share: hashing and comparing keys
// in place, copying keys and values in so that a failed copy (memory
// exhausted) leaves the old contents and reports false instead of storing an
// empty string, and copying them out.
//
// A text crosses the interfaces as a DynString and is kept as a StoredText
// (stored_text.h); 32-bit keys and object references are kept as they come.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "containers/key_hash.h"
#include "containers/stored_text.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb::entry_fields {

// The value of an entry that has none: the bag's entries hold a key only.
struct NoValue {};

// How an entry keeps a key or value of the interface's type T.
template <class T>
struct StoredForm {
  using Type = T;
};
template <>
struct StoredForm<DynString> {
  using Type = StoredText;
};
template <class T>
using Stored = typename StoredForm<T>::Type;

// Text keys hash their bytes up to the first zero byte; 32-bit keys their
// four bytes, least significant first.
inline int32_t KeyHash(const DynString& key) noexcept { return HashText(key.Data(), key.Length()); }
inline int32_t KeyHash(uint32_t key) noexcept { return HashDWord(key); }
// A text key given as its bytes, without a DynString: the same hash.
inline int32_t KeyHash(std::string_view key) noexcept { return HashText(key.data(), key.size()); }

// Same length and same bytes, zero bytes included; case-sensitive.
inline bool SameKey(const StoredText& stored, const DynString& key) noexcept {
  return stored.Holds(key.Data(), key.Length());
}
inline bool SameKey(uint32_t stored, uint32_t key) noexcept { return stored == key; }
// A text key given as its bytes (a view may be longer than any stored text).
inline bool SameKey(const StoredText& stored, std::string_view key) noexcept { return stored.Holds(key); }

// Same-length texts reuse the block and cannot fail; otherwise the copy is
// made aside and takes the old one's place only when it succeeded.
inline bool CopyInto(StoredText& field, const DynString& source) noexcept {
  return field.Assign(source.Data(), source.Length());
}
// Counts the new object before releasing the old one.
inline bool CopyInto(Ref<IUnknown>& field, const Ref<IUnknown>& source) noexcept {
  field = source;
  return true;
}
inline bool CopyInto(uint32_t& field, uint32_t source) noexcept {
  field = source;
  return true;
}

// A stored field read in place, for views that make no copy (stored_views.h):
// text as a view of its bytes, an object as its uncounted pointer, a 32-bit
// key as itself. Valid until the field changes.
inline std::string_view ViewOf(const StoredText& field) noexcept { return field.View(); }
inline IUnknown* ViewOf(const Ref<IUnknown>& field) noexcept { return field.Get(); }
inline uint32_t ViewOf(uint32_t field) noexcept { return field; }

inline bool IsEmpty(const StoredText& field) noexcept { return field.Empty(); }
inline bool IsEmpty(const Ref<IUnknown>& field) noexcept { return !field; }
inline bool IsEmpty(uint32_t field) noexcept { return field == 0; }
inline bool IsEmpty(NoValue) noexcept { return true; }

inline void MakeEmpty(StoredText& field) noexcept { field.Clear(); }
inline void MakeEmpty(Ref<IUnknown>& field) noexcept { field.Reset(); }
inline void MakeEmpty(uint32_t& field) noexcept { field = 0; }

// A new copy for the caller: a DynString of a stored text, a new counted
// reference, the number itself.
inline DynString CopyOut(const StoredText& field) noexcept { return field.Copy(); }
inline Ref<IUnknown> CopyOut(const Ref<IUnknown>& field) noexcept { return field; }
inline uint32_t CopyOut(uint32_t field) noexcept { return field; }

}  // namespace hb::entry_fields
