// Our containers read in place, as a library user writes it with the C++
// face: the lookup passes take at(i) views of the stored bytes and look them
// up with find / contains / lookup, which hand out views too. The build and
// removal passes call the interfaces as the program does, so that only the
// reading differs from the row of ours.
#pragma once

#include <cstdint>
#include <string_view>

#include "containers/cpp_containers.h"
#include "runtime/dyn_string.h"

namespace hb::bench {

class OurViewBag {
 public:
  using Key = DynString;
  void Add(const DynString& key) { bag_.raw()->Add(key); }
  int32_t Count() const { return static_cast<int32_t>(bag_.size()); }
  std::string_view KeyAt(int32_t index) const { return bag_.at(static_cast<std::size_t>(index)); }
  int32_t IndexOf(std::string_view key) const {
    const auto found = bag_.find(key);
    return found == bag_.end() ? -1 : found.index();
  }
  void RemoveAt(int32_t index) { bag_.raw()->RemoveAt(index); }

 private:
  StringBag bag_;
};

class OurViewMap {
 public:
  using Key = DynString;
  // The value is a copy of the key, made before the call as the program makes it.
  void SetItem(const DynString& key) { map_.raw()->SetItem(key, DynString(key)); }
  int32_t Count() const { return static_cast<int32_t>(map_.size()); }
  std::string_view KeyAt(int32_t index) const { return map_.at(static_cast<std::size_t>(index)).first; }
  bool Contains(std::string_view key) const { return map_.contains(key); }
  std::string_view Item(std::string_view key) const { return map_.lookup(key); }

 private:
  StringToStringMap map_;
};

}  // namespace hb::bench
