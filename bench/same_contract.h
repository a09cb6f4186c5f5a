// A peer held to the program's contract: what KeyAt and the map's Item give
// out is the caller's own new std::string, as our KeyAt and Item hand out new
// DynStrings. Everything else is the peer's by-reference form unchanged: a key
// already crosses into Add and SetItem as one owned string in both forms.
#pragma once

#include <cstdint>
#include <string>

namespace hb::bench {

template <class Peer>
class SameContract : public Peer {
 public:
  std::string KeyAt(int32_t index) const { return std::string(Peer::KeyAt(index)); }
  // Instantiated for the maps only.
  template <class P = Peer>
  std::string Item(const std::string& key) const {
    return std::string(P::Item(key));
  }
};

}  // namespace hb::bench
