// Our containers, reached through their interfaces exactly as the program
// reaches them: keys cross as DynStrings, copied in and copied out.
#pragma once

#include <cstdint>

#include "app/random_key.h"
#include "containers/string_bag.h"
#include "containers/string_to_string_map.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"

namespace hb::bench {

class OurBag {
 public:
  using Key = DynString;
  void Add(const DynString& key) { bag_->Add(key); }
  int32_t Count() { return bag_->Count(); }
  DynString KeyAt(int32_t index) { return bag_->KeyAt(index); }
  int32_t IndexOf(const DynString& key) { return bag_->IndexOf(key); }
  void RemoveAt(int32_t index) { bag_->RemoveAt(index); }

 private:
  Ref<IStringBag> bag_ = NewStringBag();
};

class OurMap {
 public:
  using Key = DynString;
  // The value is a copy of the key, made before the call as the program makes it.
  void SetItem(const DynString& key) { map_->SetItem(key, DynString(key)); }
  int32_t Count() { return map_->Count(); }
  DynString KeyAt(int32_t index) { return map_->KeyAt(index); }
  bool Contains(const DynString& key) { return map_->Contains(key) != 0; }
  DynString Item(const DynString& key) { return map_->Item(key); }

 private:
  Ref<IStringToStringMap> map_ = NewStringToStringMap();
};

// The program's own keys: its RandomKey, from the start value, as its build
// passes call it. Same keys as the suite's generator, made the program's way.
class ProgramKeys {
 public:
  ProgramKeys() { ResetRandomState(); }
  DynString Next() { return RandomKey(); }
};

}  // namespace hb::bench
