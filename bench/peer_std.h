// Peer: std::unordered_map from key to position, plus a vector of pointers to
// the map's nodes in insertion order. Nodes never move, so the vector holds no
// second copy of a key, and closing a gap renumbers the moved keys through
// their node pointers without hashing them again.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hb::bench {

class StdBag {
 public:
  using Key = std::string;
  void Add(std::string key) {
    const auto [it, added] = index_.try_emplace(std::move(key), static_cast<int32_t>(order_.size()));
    if (added) order_.push_back(&*it);
  }
  int32_t Count() const { return static_cast<int32_t>(order_.size()); }
  const std::string& KeyAt(int32_t index) const { return order_[static_cast<std::size_t>(index)]->first; }
  int32_t IndexOf(const std::string& key) const {
    const auto it = index_.find(key);
    return it == index_.end() ? -1 : it->second;
  }
  void RemoveAt(int32_t index) {
    index_.erase(index_.find(order_[static_cast<std::size_t>(index)]->first));
    order_.erase(order_.begin() + index);
    for (std::size_t j = static_cast<std::size_t>(index); j < order_.size(); ++j) --order_[j]->second;
  }

 private:
  using Index = std::unordered_map<std::string, int32_t>;
  Index index_;
  std::vector<Index::value_type*> order_;
};

class StdMap {
 public:
  using Key = std::string;
  void SetItem(std::string text) {
    std::string value = text;
    const auto it = index_.find(text);
    if (it != index_.end()) {
      it->second.value = std::move(value);
      return;
    }
    const auto added =
        index_.emplace(std::move(text), Slot{std::move(value), static_cast<int32_t>(order_.size())}).first;
    order_.push_back(&*added);
  }
  int32_t Count() const { return static_cast<int32_t>(order_.size()); }
  const std::string& KeyAt(int32_t index) const { return order_[static_cast<std::size_t>(index)]->first; }
  bool Contains(const std::string& key) const { return index_.find(key) != index_.end(); }
  const std::string& Item(const std::string& key) const {
    static const std::string kEmpty;
    const auto it = index_.find(key);
    return it == index_.end() ? kEmpty : it->second.value;
  }

 private:
  struct Slot {
    std::string value;
    int32_t position;
  };
  using Index = std::unordered_map<std::string, Slot>;
  Index index_;
  std::vector<Index::value_type*> order_;
};

}  // namespace hb::bench
