// Peer: boost::multi_index_container with a random_access index (insertion
// order, positions) and a hashed_unique index (lookup by key). A node knows
// its slot in the position array, so a key's position costs no search and a
// removal moves only the array of node pointers.
#pragma once

#include <boost/multi_index/hashed_index.hpp>
#include <boost/multi_index/identity.hpp>
#include <boost/multi_index/member.hpp>
#include <boost/multi_index/random_access_index.hpp>
#include <boost/multi_index_container.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace hb::bench {

namespace mi = boost::multi_index;

class MultiIndexBag {
 public:
  using Key = std::string;
  void Add(std::string key) { set_.push_back(std::move(key)); }
  int32_t Count() const { return static_cast<int32_t>(set_.size()); }
  const std::string& KeyAt(int32_t index) const { return set_[static_cast<std::size_t>(index)]; }
  int32_t IndexOf(const std::string& key) const {
    const auto& byKey = set_.get<1>();
    const auto it = byKey.find(key);
    if (it == byKey.end()) return -1;
    return static_cast<int32_t>(set_.project<0>(it) - set_.begin());
  }
  void RemoveAt(int32_t index) { set_.erase(set_.begin() + index); }

 private:
  using Set = mi::multi_index_container<
      std::string, mi::indexed_by<mi::random_access<>, mi::hashed_unique<mi::identity<std::string>>>>;
  Set set_;
};

class MultiIndexMap {
 public:
  using Key = std::string;
  void SetItem(std::string text) {
    std::string value = text;
    auto& byKey = map_.get<1>();
    const auto it = byKey.find(text);
    if (it != byKey.end()) {
      it->value = std::move(value);
      return;
    }
    map_.push_back(Pair{std::move(text), std::move(value)});
  }
  int32_t Count() const { return static_cast<int32_t>(map_.size()); }
  const std::string& KeyAt(int32_t index) const { return map_[static_cast<std::size_t>(index)].key; }
  bool Contains(const std::string& key) const { return map_.get<1>().find(key) != map_.get<1>().end(); }
  const std::string& Item(const std::string& key) const {
    static const std::string kEmpty;
    const auto& byKey = map_.get<1>();
    const auto it = byKey.find(key);
    return it == byKey.end() ? kEmpty : it->value;
  }

 private:
  struct Pair {
    std::string key;
    mutable std::string value;  // not part of any index
  };
  using Map = mi::multi_index_container<
      Pair, mi::indexed_by<mi::random_access<>, mi::hashed_unique<mi::member<Pair, std::string, &Pair::key>>>>;
  Map map_;
};

}  // namespace hb::bench
