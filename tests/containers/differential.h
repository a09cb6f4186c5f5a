// Differential check: one container and a plain model (a vector of pairs in
// insertion order) take the same operations; after each one both must agree
// on the count, every position's key and value, every lookup, the value
// objects' counts, and the table must be well-formed (every live entry in
// the chain of its bucket exactly once, links falling, stored hashes right,
// blanks blank, the bucket count a capacity prime with its threshold).
//
// Used by the randomized test and by the fuzz target; a mismatch comes back
// as a message, empty when all agree.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "containers/growth_limit.h"
#include "tests/containers/adapters.h"

namespace hb::test {

enum class OpKind { kAdd, kSetItem, kRemove, kRemoveAt, kClear, kLookup };

struct Op {
  OpKind kind;
  uint32_t key;    // key number (Add, SetItem, Remove, Lookup)
  int value;       // value id (Add, SetItem)
  int32_t index;   // RemoveAt; may lie outside 0..count-1
};

template <class A>
class Differential {
 public:
  using Key = typename A::Key;

  Differential() : container_(A::Make()) {}

  int32_t Size() const { return static_cast<int32_t>(model_.size()); }

  // Applies `op` to both sides; returns the first disagreement, or "".
  // Without `check` only the operation's own results are compared.
  std::string Apply(const Op& op, bool check = true) {
    std::ostringstream error;
    const Key key = A::MakeKey(op.key);
    const int value = A::kHasValues ? op.value % A::kValueIds : kNoValue;
    const int32_t at = Find(key);
    switch (op.kind) {
      case OpKind::kAdd:
      case OpKind::kSetItem: {
        int32_t index;
        if (op.kind == OpKind::kAdd) {
          index = A::Add(*container_, key, value);
        } else {
          A::SetItem(*container_, key, value);
          index = at >= 0 ? at : Size();
        }
        const int32_t want = at >= 0 ? at : Size();
        if (index != want) error << "Add " << Printable(key) << " gave " << index << ", want " << want << "; ";
        if (at >= 0) {
          model_[static_cast<std::size_t>(at)].second = value;
        } else {
          model_.emplace_back(key, value);
        }
        break;
      }
      case OpKind::kRemove:
        container_->Remove(key);
        if (at >= 0) model_.erase(model_.begin() + at);
        break;
      case OpKind::kRemoveAt:
        container_->RemoveAt(op.index);
        if (op.index >= 0 && op.index < Size()) model_.erase(model_.begin() + op.index);
        break;
      case OpKind::kClear:
        container_->Clear();
        model_.clear();
        break;
      case OpKind::kLookup:
        if (container_->IndexOf(key) != at) error << "IndexOf " << Printable(key) << " != " << at << "; ";
        if (container_->Contains(key) != (at >= 0 ? -1 : 0)) error << "Contains " << Printable(key) << "; ";
        if (A::Item(*container_, key) != (at >= 0 ? model_[static_cast<std::size_t>(at)].second : kNoValue))
          error << "Item " << Printable(key) << "; ";
        break;
    }
    std::string found = error.str();
    return found.empty() && check ? Check() : found;
  }

  // Full comparison of container and model.
  std::string Check() {
    std::ostringstream error;
    const int32_t count = Size();
    if (container_->Count() != count) error << "Count " << container_->Count() << " != " << count << "; ";
    for (int32_t i = 0; i < count && error.tellp() == 0; ++i) {
      const auto& [key, value] = model_[static_cast<std::size_t>(i)];
      if (!SameKey(A::KeyAt(*container_, i), key)) error << "KeyAt " << i << " is not " << Printable(key) << "; ";
      if (A::ValueAt(*container_, i) != value) error << "ValueAt " << i << "; ";
      if (container_->IndexOf(key) != i) error << "IndexOf " << Printable(key) << " != " << i << "; ";
      if (container_->Contains(key) != -1) error << "Contains " << Printable(key) << "; ";
      if (A::Item(*container_, key) != value) error << "Item " << Printable(key) << "; ";
    }
    for (const int32_t outside : {-1, count, count + 1}) {
      if (!IsMissKey(A::KeyAt(*container_, outside))) error << "KeyAt " << outside << " not empty; ";
      if (A::ValueAt(*container_, outside) != kNoValue) error << "ValueAt " << outside << " not empty; ";
    }
    if constexpr (A::kObjectValues) CheckValueCounts(error);
    CheckTable(error);
    return error.str();
  }

  typename A::Container& container() { return *container_; }

 private:
  int32_t Find(const Key& key) const {
    for (std::size_t i = 0; i < model_.size(); ++i) {
      if (SameKey(model_[i].first, key)) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // Each value object: its own count plus one per entry holding it.
  void CheckValueCounts(std::ostringstream& error) const {
    for (int id = 0; id < kPoolSize; ++id) {
      int32_t want = 1;
      for (const auto& pair : model_) want += pair.second == id ? 1 : 0;
      if (ValuePool()[id].Count() != want)
        error << "value " << id << " count " << ValuePool()[id].Count() << " != " << want << "; ";
    }
  }

  void CheckTable(std::ostringstream& error) {
    const TableView view = InspectTable(*container_);
    const int32_t count = Size();
    bool prime = false;
    for (int32_t i = 0; i < kCapacityPrimeCount; ++i) prime = prime || CapacityPrimes()[i] == view.capacity;
    if (!prime) error << "capacity " << view.capacity << " is no capacity prime; ";
    if (view.threshold != ThresholdFor(view.capacity)) error << "threshold " << view.threshold << "; ";
    if (view.count != count || view.count > view.threshold) error << "count " << view.count << " vs threshold; ";
    if (view.entriesUpperBound < view.threshold) error << "entry table shorter than the threshold; ";
    if (view.missingBlanks != 0 || view.dirtyBlanks != 0)
      error << view.missingBlanks << " missing and " << view.dirtyBlanks << " dirty blanks; ";
    if (static_cast<int32_t>(view.buckets.size()) != view.capacity) error << "bucket table size; ";
    if (!error.str().empty()) return;
    std::vector<int> seen(static_cast<std::size_t>(count), 0);
    for (int32_t b = 0; b < view.capacity; ++b) {
      int32_t previous = count;
      for (int32_t i = view.buckets[static_cast<std::size_t>(b)] - 1; i >= 0;
           i = view.nexts[static_cast<std::size_t>(i)]) {
        if (i >= previous) {
          error << "chain of bucket " << b << " does not fall at " << i << "; ";
          return;
        }
        if (view.hashes[static_cast<std::size_t>(i)] % view.capacity != b) error << "entry " << i << " in bucket " << b << "; ";
        ++seen[static_cast<std::size_t>(i)];
        previous = i;
      }
    }
    for (int32_t i = 0; i < count; ++i) {
      if (seen[static_cast<std::size_t>(i)] != 1) error << "entry " << i << " reached " << seen[static_cast<std::size_t>(i)] << " times; ";
      if (view.hashes[static_cast<std::size_t>(i)] != KeyHash(model_[static_cast<std::size_t>(i)].first))
        error << "stored hash of entry " << i << "; ";
    }
  }

  Ref<typename A::Container> container_;
  std::vector<std::pair<Key, int>> model_;
};

}  // namespace hb::test
