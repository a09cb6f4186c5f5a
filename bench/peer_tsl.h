// Peer: tsl::ordered_set / tsl::ordered_map, hash tables that keep insertion
// order in a values container and answer positions directly.
//
// A position is removed the cheaper of two ways: erase(it) re-hashes every
// value behind the removed one to renumber it, erase(it, it + 1) sweeps the
// whole bucket array once. With few values behind (the reverse removal) the
// first wins by far, with many (the ascending removal) the second, about 2.5
// times over erase(it).
#pragma once

#include <tsl/ordered_map.h>
#include <tsl/ordered_set.h>

#include <cstdint>
#include <string>
#include <utility>

namespace hb::bench {

// Re-hashing one value costs roughly as much as sweeping this many buckets.
inline constexpr std::size_t kSweepCostRatio = 16;

class TslBag {
 public:
  using Key = std::string;
  void Add(std::string key) { set_.insert(std::move(key)); }
  int32_t Count() const { return static_cast<int32_t>(set_.size()); }
  const std::string& KeyAt(int32_t index) const { return *set_.nth(static_cast<std::size_t>(index)); }
  int32_t IndexOf(const std::string& key) const {
    auto it = set_.find(key);
    return it == set_.end() ? -1 : static_cast<int32_t>(it - set_.begin());
  }
  void RemoveAt(int32_t index) {
    auto it = set_.begin() + index;
    const auto behind = set_.size() - static_cast<std::size_t>(index) - 1;
    if (behind * kSweepCostRatio < set_.bucket_count()) {
      set_.erase(it);
    } else {
      set_.erase(it, it + 1);
    }
  }

 private:
  tsl::ordered_set<std::string> set_;
};

class TslMap {
 public:
  using Key = std::string;
  void SetItem(std::string text) {
    std::string value = text;
    map_.insert_or_assign(std::move(text), std::move(value));
  }
  int32_t Count() const { return static_cast<int32_t>(map_.size()); }
  const std::string& KeyAt(int32_t index) const { return map_.nth(static_cast<std::size_t>(index))->first; }
  bool Contains(const std::string& key) const { return map_.find(key) != map_.end(); }
  const std::string& Item(const std::string& key) const {
    static const std::string kEmpty;
    const auto it = map_.find(key);
    return it == map_.end() ? kEmpty : it->second;
  }

 private:
  tsl::ordered_map<std::string, std::string> map_;
};

}  // namespace hb::bench
