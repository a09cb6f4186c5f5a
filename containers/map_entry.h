// MapEntry: the entry object of the three maps, one key/value pair: a
// KeyedEntry (keyed_entry.h) whose value field holds the entry's own copy of
// a string, or one counted reference to an object (possibly null).
//
// GetValue and SetValue (with GetHash to SetNext, slots 3 to 10) are final;
// the table core also uses the non-virtual StoredValue and ReplaceValue,
// which read and copy without the extra copies that GetValue and SetValue
// make, and CopyOfValue, what Item and ValueAt hand out. A text value is kept
// as a StoredText (stored_text.h). A destroyed entry releases its value object.
#pragma once

#include <utility>

#include "containers/entry_fields.h"
#include "containers/keyed_entry.h"

namespace hb {

// ValueParam is how the interface's SetValue takes its argument.
template <class Derived, class Own, class KeyType, class ValueType, class ValueParam>
class MapEntry : public KeyedEntry<Derived, Own, KeyType, ValueType> {
 public:
  using Value = ValueType;

  Value GetValue() final { return CopyOfValue(); }
  // Keeps the old value when memory runs out for a text's copy.
  void SetValue(ValueParam newValue) final { entry_fields::CopyInto(this->value, newValue); }

  const entry_fields::Stored<Value>& StoredValue() const noexcept { return this->value; }
  // A copy, or a new counted reference.
  Value CopyOfValue() const noexcept { return entry_fields::CopyOut(this->value); }
  // False, with the old value kept, when memory ran out.
  bool ReplaceValue(const Value& newValue) noexcept { return entry_fields::CopyInto(this->value, newValue); }

 protected:
  MapEntry() noexcept = default;
  ~MapEntry() = default;
};

}  // namespace hb
