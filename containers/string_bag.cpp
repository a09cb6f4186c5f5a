// cStringBag: a set of distinct byte strings that remembers insertion order.
//
// entries[0..threshold] hold entry objects: [0, count) are the keys in
// insertion order, [count, threshold] blanks waiting for Add.
// buckets[b] = 1 + index of the chain head; 0 means an empty bucket.
// Keys compare byte for byte over their whole length (case and embedded zero
// bytes count); the hash stops at the first zero byte, so such keys share a
// chain but stay distinct. The mechanics live in ordered_table.h.
#include "containers/string_bag.h"

#include <utility>

#include "containers/entry_fields.h"
#include "containers/ordered_table.h"
#include "runtime/object.h"

namespace hb {
namespace {

// One stored key. Fields: hash, key (own copy), next (-1 ends the chain).
class cStringBagEntry final : public ComObject<cStringBagEntry, IStringBagEntry> {
 public:
  static constexpr Guid kClassId = ParseGuid("{C1CEC862-B4FE-4A72-A48B-C5DA365A7DDB}");
  static constexpr Guid kOwnInterface = kIidStringBagEntry;
  using Key = DynString;

  // IStringBagEntry, slots 3 to 8.
  int32_t GetHash() override { return hash; }
  void SetHash(int32_t newHash) override { hash = newHash; }
  DynString GetKey() override { return key; }
  void SetKey(DynString newKey) override { key = std::move(newKey); }
  int32_t GetNext() override { return next; }
  void SetNext(int32_t newNext) override { next = newNext; }

  // For the table core.
  static int32_t HashOf(const DynString& candidate) noexcept { return entry_fields::KeyHash(candidate); }
  bool HoldsKey(const DynString& candidate) const noexcept { return Equal(key, candidate); }
  const DynString& StoredKey() const noexcept { return key; }
  bool Fill(const DynString& newKey) noexcept { return entry_fields::CopyInto(key, newKey); }
  bool IsBlank() const noexcept { return hash == 0 && next == 0 && key.Empty(); }

 private:
  using Base = ComObject<cStringBagEntry, IStringBagEntry>;
  friend Base;
  cStringBagEntry() noexcept = default;
  ~cStringBagEntry() = default;

  int32_t hash = 0;  // HashBytes of the key
  DynString key;     // the entry's own copy
  int32_t next = 0;  // next entry of the chain, -1 at its end
};

class cStringBag final : public ComObject<cStringBag, IStringBag> {
 public:
  static constexpr Guid kClassId = ParseGuid("{B63899CE-36CF-4F33-A9E4-BA2557E77DD0}");
  static constexpr Guid kOwnInterface = kIidStringBag;
  using Entry = cStringBagEntry;
  using Key = DynString;

  // IStringBag, slots 3 to 10.
  int32_t Add(const DynString& key) override { return Table::Insert(*this, key); }
  void Clear() override { Table::Clear(*this); }
  int32_t Contains(const DynString& key) override {
    return static_cast<IStringBag*>(this)->IndexOf(key) != -1 ? -1 : 0;
  }
  int32_t Count() override { return count; }
  int32_t IndexOf(const DynString& key) override { return Table::Locate(*this, key); }
  void Remove(const DynString& key) override {
    static_cast<IStringBag*>(this)->RemoveAt(Table::Locate(*this, key));
  }
  void RemoveAt(int32_t index) override { Table::RemoveAt(*this, index); }
  DynString KeyAt(int32_t index) override {
    const Entry* entry = Table::EntryAt(*this, index);
    return entry == nullptr ? DynString() : entry->StoredKey();
  }

  TableView View() const { return Table::View(*this); }

 private:
  using Base = ComObject<cStringBag, IStringBag>;
  using Table = TableCore<cStringBag>;
  friend Base;
  friend Table;
  cStringBag() noexcept = default;
  ~cStringBag() = default;
  void CreationHook() noexcept { Table::Create(*this); }

  Array<Ref<IStringBagEntry>> entries;  // 0..threshold, see above
  Array<int32_t> buckets;               // 0..capacity-1, 1 + chain head
  int32_t count = 0;                    // stored keys
  int32_t capacity = 0;                 // bucket count, a capacity prime
  int32_t threshold = 0;                // round(0.75 * capacity); grow when count reaches it
  int32_t lastHash = 0;                 // Locate's hash, consumed by Insert
  uint64_t reciprocal = 0;              // BucketReciprocal(capacity)
};

}  // namespace

bool RegisterStringBagClasses() noexcept {
  return RegisterClass(cStringBag::kRecord) && RegisterClass(cStringBagEntry::kRecord);
}

Ref<IStringBag> NewStringBag() {
  Ref<IStringBag> bag;
  CreateObject(bag, "cStringBag", kIidStringBag);
  return bag;
}

TableView InspectTable(IStringBag& bag) { return static_cast<cStringBag&>(bag).View(); }

}  // namespace hb
