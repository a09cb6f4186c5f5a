// Peer: absl::flat_hash_map from key to position, plus a vector of the keys in
// insertion order. The map's keys are views of the vector's strings: a 20-byte
// key lives in a heap buffer of its own, which stays where it is when the
// std::string that owns it moves inside the vector (Add checks this), so every
// key is stored once.
//
// Closing a gap renumbers the moved keys: by looking each one up when few
// moved, by one sweep over the map when many did.
#pragma once

#include <absl/container/flat_hash_map.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hb::bench {

// The views into the key strings hold only for keys beyond the small-string
// buffer; the benchmark's keys always are.
inline void RequireStableBuffer(const std::string& moved, std::string_view view) {
  if (moved.data() != view.data()) {
    std::fputs("absl peer: key buffer moved; keys must be longer than the small-string buffer\n", stderr);
    std::abort();
  }
}

// Looking one moved key up costs about as much as sweeping this many slots of
// the map: with fewer moved keys than size / kLookupCostRatio, the removal
// renumbers by lookups, otherwise by one sweep.
inline constexpr std::size_t kLookupCostRatio = 8;

// Lowers by one the positions stored for the entries [from, end) of `order`,
// which have just moved down one place. `keyOf` gives an entry's key.
template <class Index, class Order, class KeyOf>
void RenumberAfterRemoval(Index& index, const Order& order, std::size_t from, KeyOf keyOf) {
  const std::size_t moved = order.size() - from;
  if (moved * kLookupCostRatio < index.size()) {
    for (std::size_t j = from; j < order.size(); ++j) index.find(keyOf(order[j]))->second = static_cast<int32_t>(j);
    return;
  }
  for (auto& [key, position] : index)
    if (position > static_cast<int32_t>(from)) --position;
}

class AbslBag {
 public:
  using Key = std::string;
  void Add(std::string text) {
    const std::string_view view(text);
    if (!index_.try_emplace(view, static_cast<int32_t>(keys_.size())).second) return;
    keys_.push_back(std::move(text));
    RequireStableBuffer(keys_.back(), view);
  }
  int32_t Count() const { return static_cast<int32_t>(keys_.size()); }
  const std::string& KeyAt(int32_t index) const { return keys_[static_cast<std::size_t>(index)]; }
  int32_t IndexOf(const std::string& key) const {
    const auto it = index_.find(std::string_view(key));
    return it == index_.end() ? -1 : it->second;
  }
  void RemoveAt(int32_t index) {
    const auto at = static_cast<std::size_t>(index);
    index_.erase(std::string_view(keys_[at]));
    keys_.erase(keys_.begin() + index);
    RenumberAfterRemoval(index_, keys_, at, [](const std::string& k) { return std::string_view(k); });
  }

 private:
  std::vector<std::string> keys_;
  absl::flat_hash_map<std::string_view, int32_t> index_;
};

class AbslMap {
 public:
  using Key = std::string;
  void SetItem(std::string text) {
    std::string value = text;
    const std::string_view view(text);
    const auto [it, added] = index_.try_emplace(view, static_cast<int32_t>(pairs_.size()));
    if (!added) {
      pairs_[static_cast<std::size_t>(it->second)].second = std::move(value);
      return;
    }
    pairs_.emplace_back(std::move(text), std::move(value));
    RequireStableBuffer(pairs_.back().first, view);
  }
  int32_t Count() const { return static_cast<int32_t>(pairs_.size()); }
  const std::string& KeyAt(int32_t index) const { return pairs_[static_cast<std::size_t>(index)].first; }
  bool Contains(const std::string& key) const { return index_.find(std::string_view(key)) != index_.end(); }
  const std::string& Item(const std::string& key) const {
    static const std::string kEmpty;
    const auto it = index_.find(std::string_view(key));
    return it == index_.end() ? kEmpty : pairs_[static_cast<std::size_t>(it->second)].second;
  }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  absl::flat_hash_map<std::string_view, int32_t> index_;
};

}  // namespace hb::bench
