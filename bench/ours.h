// Our containers, reached through their interfaces exactly as the program
// reaches them: keys cross as DynStrings, copied in and copied out.
#pragma once

#include <cstdint>

#include "bench/key_generator.h"
#include "containers/string_bag.h"
#include "containers/string_to_string_map.h"
#include "runtime/dyn_string.h"
#include "runtime/ref.h"

namespace hb::bench {

// A fresh key string, as the program's key generator hands it out.
inline DynString KeyString(const KeyText& key) { return DynString(key.data(), kKeyLength); }

class OurBag {
 public:
  void Add(const KeyText& key) { bag_->Add(KeyString(key)); }
  int32_t Count() { return bag_->Count(); }
  DynString KeyAt(int32_t index) { return bag_->KeyAt(index); }
  int32_t IndexOf(const DynString& key) { return bag_->IndexOf(key); }
  void RemoveAt(int32_t index) { bag_->RemoveAt(index); }

 private:
  Ref<IStringBag> bag_ = NewStringBag();
};

class OurMap {
 public:
  void SetItem(const KeyText& key) {
    const DynString text = KeyString(key);
    map_->SetItem(text, text);
  }
  int32_t Count() { return map_->Count(); }
  DynString KeyAt(int32_t index) { return map_->KeyAt(index); }
  bool Contains(const DynString& key) { return map_->Contains(key) != 0; }
  DynString Item(const DynString& key) { return map_->Item(key); }

 private:
  Ref<IStringToStringMap> map_ = NewStringToStringMap();
};

}  // namespace hb::bench
