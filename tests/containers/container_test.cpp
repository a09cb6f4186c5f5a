// The edge cases of the four containers, written once and run on each (see
// adapters.h for the keys and values), then the value counts of the two
// object maps and the ends of the table: the largest bucket count and
// exhausted memory.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "containers/growth_limit.h"
#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/errors.h"
#include "tests/containers/adapters.h"
#include "tests/support/counted_object.h"
#include "tests/support/live_object_test.h"

namespace hb::test {
namespace {

template <class A>
class ContainerTest : public LiveObjectTest {
 protected:
  using Key = typename A::Key;
  static Key K(uint32_t n) { return A::MakeKey(n); }
  static int V(int id) { return A::kHasValues ? id % A::kValueIds : kNoValue; }

  // Adds the new keys first..last-1 at the end, key n with value n % 7.
  static void AddKeys(typename A::Container& c, uint32_t first, uint32_t last) {
    for (uint32_t n = first; n < last; ++n) {
      const int32_t end = c.Count();
      ASSERT_EQ(A::Add(c, K(n), V(static_cast<int>(n % 7))), end) << "key " << n;
    }
  }
  // Every key of `keys` at its position, with value `values[i]`.
  static void ExpectContents(typename A::Container& c, const std::vector<uint32_t>& keys,
                             const std::vector<int>& values) {
    ASSERT_EQ(c.Count(), static_cast<int32_t>(keys.size()));
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const auto index = static_cast<int32_t>(i);
      EXPECT_TRUE(SameKey(A::KeyAt(c, index), K(keys[i]))) << "position " << i;
      EXPECT_EQ(c.IndexOf(K(keys[i])), index) << "key " << keys[i];
      EXPECT_EQ(A::ValueAt(c, index), V(values[i])) << "position " << i;
      EXPECT_EQ(A::Item(c, K(keys[i])), V(values[i])) << "key " << keys[i];
    }
  }
};

using Adapters = ::testing::Types<BagAdapter, StringMapAdapter, ObjectMapAdapter, NumberMapAdapter>;
TYPED_TEST_SUITE(ContainerTest, Adapters);

TYPED_TEST(ContainerTest, NewContainerIsEmpty) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Count(), 0);
  for (const int32_t index : {-1, 0, 1}) {
    EXPECT_TRUE(IsMissKey(A::KeyAt(*c, index)));
    EXPECT_EQ(A::ValueAt(*c, index), kNoValue);
  }
  for (const uint32_t n : {0u, 1u, 5u}) {
    EXPECT_EQ(c->IndexOf(this->K(n)), -1);
    EXPECT_EQ(c->Contains(this->K(n)), 0);
    EXPECT_EQ(A::Item(*c, this->K(n)), kNoValue);
  }
}

// Keys 0 to 7: for text the empty key, case variants and keys that differ
// only behind a zero byte; for numbers 0 and 4294967295.
TYPED_TEST(ContainerTest, NearKeysAreDistinctAndReAddingKeepsTheIndex) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  this->AddKeys(*c, 0, 8);
  for (uint32_t n = 0; n < 8; ++n) {
    EXPECT_EQ(A::Add(*c, this->K(n), this->V(20 + static_cast<int>(n))), static_cast<int32_t>(n)) << n;
  }
  this->ExpectContents(*c, {0, 1, 2, 3, 4, 5, 6, 7},
                       {this->V(20), this->V(21), this->V(22), this->V(23), this->V(24), this->V(25),
                        this->V(26), this->V(27)});
  if constexpr (std::is_same_v<typename A::Key, DynString>) {
    const TableView view = InspectTable(*c);
    EXPECT_EQ(view.hashes[0], 1) << "the empty key";
    EXPECT_EQ(view.hashes[4], view.hashes[5]) << "k1 and k1\\0z share their hash";
    EXPECT_EQ(view.hashes[4], view.hashes[7]) << "k1 and k1\\0 share their hash";
    EXPECT_NE(view.hashes[4], view.hashes[6]) << "case matters";
  }
}

TYPED_TEST(ContainerTest, GrowsOnePrimeStepWhenCountReachesThreshold) {
  using A = TypeParam;
  struct Size { int32_t capacity, threshold; };
  const Size kSizes[] = {{53, 40}, {97, 73}, {193, 145}, {389, 292}, {769, 577}, {1543, 1157}, {3079, 2309}};
  Ref<typename A::Container> c = A::Make();
  uint32_t added = 0;
  for (const Size& size : kSizes) {
    this->AddKeys(*c, added, static_cast<uint32_t>(size.threshold));
    added = static_cast<uint32_t>(size.threshold);
    const TableView full = InspectTable(*c);
    EXPECT_EQ(full.capacity, size.capacity);
    EXPECT_EQ(full.threshold, size.threshold);
    EXPECT_EQ(full.entriesUpperBound, size.threshold);
    if (size.capacity == 53) {  // the 41st key: 97 buckets, every key where it was
      ASSERT_EQ(A::Add(*c, this->K(added), this->V(3)), 40);
      ++added;
      EXPECT_EQ(InspectTable(*c).capacity, 97);
      EXPECT_EQ(InspectTable(*c).threshold, 73);
      std::vector<uint32_t> keys;
      std::vector<int> values;
      for (uint32_t n = 0; n <= 40; ++n) {
        keys.push_back(n);
        values.push_back(this->V(n == 40 ? 3 : static_cast<int>(n % 7)));
      }
      this->ExpectContents(*c, keys, values);
    }
  }
}

TYPED_TEST(ContainerTest, RemoveAtZeroMovesTheRestDown) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  this->AddKeys(*c, 1, 4);  // keys 1, 2, 3 with values 1, 2, 3
  c->RemoveAt(0);
  this->ExpectContents(*c, {2, 3}, {this->V(2), this->V(3)});
  EXPECT_EQ(A::Add(*c, this->K(1), this->V(4)), 2);
}

TYPED_TEST(ContainerTest, MissesChangeNothing) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  this->AddKeys(*c, 0, 3);
  const TableView before = InspectTable(*c);
  c->RemoveAt(-1);
  c->RemoveAt(3);
  c->RemoveAt(-2147483647 - 1);
  c->Remove(this->K(9));
  const TableView after = InspectTable(*c);
  EXPECT_EQ(after.buckets, before.buckets);
  EXPECT_EQ(after.nexts, before.nexts);
  this->ExpectContents(*c, {0, 1, 2}, {this->V(0), this->V(1), this->V(2)});
}

TYPED_TEST(ContainerTest, ClearAndRemovalsKeepTheBucketCount) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  this->AddKeys(*c, 0, 100);
  const int32_t objects = LiveObjectCount();
  c->Clear();
  EXPECT_EQ(LiveObjectCount(), objects) << "count + 1 entries replaced by as many blanks";
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(c->IndexOf(this->K(5)), -1);
  EXPECT_EQ(InspectTable(*c).capacity, 193);
  EXPECT_EQ(A::Add(*c, this->K(5), this->V(1)), 0);
  this->ExpectContents(*c, {5}, {this->V(1)});

  this->AddKeys(*c, 100, 160);
  for (uint32_t n = 100; n < 160; ++n) c->Remove(this->K(n));
  c->RemoveAt(0);
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(InspectTable(*c).capacity, 193);
}

TYPED_TEST(ContainerTest, EmptyValuesAreStoredAsEmpty) {
  using A = TypeParam;
  Ref<typename A::Container> c = A::Make();
  ASSERT_EQ(A::Add(*c, this->K(4), kNoValue), 0);
  EXPECT_EQ(c->Contains(this->K(4)), -1);
  EXPECT_EQ(A::Item(*c, this->K(4)), kNoValue);
  EXPECT_EQ(A::ValueAt(*c, 0), kNoValue);
  A::SetItem(*c, this->K(4), this->V(2));
  EXPECT_EQ(A::Item(*c, this->K(4)), this->V(2));
  A::SetItem(*c, this->K(4), kNoValue);
  EXPECT_EQ(A::Item(*c, this->K(4)), kNoValue);
  EXPECT_EQ(c->Count(), 1);
}

// With the largest bucket count lowered to 97: the table fills to its
// threshold, takes one key in the slot beyond it, and then refuses.
TYPED_TEST(ContainerTest, LargestBucketCountTakesOneKeyPastThresholdThenRefuses) {
  using A = TypeParam;
  ScopedBucketCountLimit limit(97);
  Ref<typename A::Container> c = A::Make();
  this->AddKeys(*c, 0, 74);
  EXPECT_EQ(InspectTable(*c).capacity, 97);
  EXPECT_EQ(c->Count(), 74);
  const TableView full = InspectTable(*c);
  EXPECT_EQ(A::Add(*c, this->K(74), this->V(1)), -1);
  A::SetItem(*c, this->K(75), this->V(1));
  EXPECT_EQ(c->Count(), 74);
  EXPECT_EQ(c->IndexOf(this->K(74)), -1);
  EXPECT_EQ(InspectTable(*c).buckets, full.buckets);
  EXPECT_EQ(A::Add(*c, this->K(3), this->V(5)), 3) << "a present key still takes its new value";
  EXPECT_EQ(A::Item(*c, this->K(3)), this->V(5));
  c->RemoveAt(0);
  EXPECT_EQ(A::Add(*c, this->K(74), this->V(1)), 73);
  c->Clear();  // with one key beyond the threshold
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(InspectTable(*c).missingBlanks, 0);
  EXPECT_EQ(A::Add(*c, this->K(74), this->V(1)), 0);
}

// Keys and values are made before memory runs out: only the container's own
// allocations fail.
TYPED_TEST(ContainerTest, ExhaustedMemoryStoresNothingAndLosesNothing) {
  using A = TypeParam;
  if constexpr (A::kHasValues) {
    using Value = decltype(std::declval<typename A::Container&>().ValueAt(0));
    Ref<typename A::Container> c = A::Make();
    this->AddKeys(*c, 0, 40);
    const typename A::Key key40 = this->K(40), key1 = this->K(1), key61 = this->K(61), key5 = this->K(5);
    Value value;
    if constexpr (A::kObjectValues) {
      value = ObjectValue(1);
    } else {
      value = TextValue(123456);
    }
    {
      ScopedAllocationFailure fail(1000);
      EXPECT_EQ(c->Add(key40, value), -1) << "growth needs memory";
      c->Clear();  // its new blanks cannot be made
      EXPECT_EQ(c->Count(), 0);
      EXPECT_GT(InspectTable(*c).missingBlanks, 0);
      EXPECT_EQ(c->Add(key1, value), -1) << "no blank entry";
    }
    ClearError();
    EXPECT_EQ(InspectTable(*c).capacity, 53);
    this->AddKeys(*c, 0, 60);  // blanks are made when needed
    EXPECT_EQ(InspectTable(*c).capacity, 97);
    EXPECT_EQ(InspectTable(*c).missingBlanks, 0);
    if constexpr (std::is_same_v<typename A::Key, DynString>) {
      ScopedAllocationFailure fail(1);
      EXPECT_EQ(c->Add(key61, value), -1) << "the key copy needs memory";
    }
    if constexpr (!A::kObjectValues) {
      ScopedAllocationFailure fail(1);
      EXPECT_EQ(c->Add(key5, value), -1) << "a longer value needs memory";
    }
    ClearError();
    std::vector<uint32_t> keys;
    std::vector<int> values;
    for (uint32_t n = 0; n < 60; ++n) {
      keys.push_back(n);
      values.push_back(this->V(static_cast<int>(n % 7)));
    }
    this->ExpectContents(*c, keys, values);
  } else {
    Ref<IStringBag> c = A::Make();
    this->AddKeys(*c, 0, 40);
    const DynString key40 = this->K(40), key61 = this->K(61);
    {
      ScopedAllocationFailure fail(1000);
      EXPECT_EQ(c->Add(key40), -1) << "growth needs memory";
    }
    ClearError();
    EXPECT_EQ(c->Count(), 40);
    EXPECT_EQ(c->IndexOf(key40), -1);
    EXPECT_EQ(c->Add(key40), 40);
    EXPECT_EQ(InspectTable(*c).capacity, 97);
    {
      ScopedAllocationFailure fail(1);
      EXPECT_EQ(c->Add(key61), -1) << "the key copy needs memory";
    }
    ClearError();
    EXPECT_EQ(c->Count(), 41);
    EXPECT_EQ(c->IndexOf(key61), -1);
  }
}

TEST(GrowthLimitTest, ThresholdIsThreeQuartersRoundedToNearest) {
  struct Case { int32_t buckets, threshold; };
  const Case kCases[] = {{53, 40}, {97, 73}, {1543, 1157}, {6151, 4613}, {49157, 36868}, {1610612741, 1207959556}};
  for (const Case& c : kCases) EXPECT_EQ(ThresholdFor(c.buckets), c.threshold) << c.buckets;
  EXPECT_EQ(GrownBucketCount(0), 53);
  EXPECT_EQ(GrownBucketCount(53), 97);
  EXPECT_EQ(GrownBucketCount(805306457), 1610612741);
  EXPECT_EQ(GrownBucketCount(1610612741), 1610612741) << "the largest count does not grow";
}

// The two object maps: one count per entry holding a value, exactly.
template <class A>
class ObjectValueTest : public ContainerTest<A> {};
using ObjectAdapters = ::testing::Types<ObjectMapAdapter, NumberMapAdapter>;
TYPED_TEST_SUITE(ObjectValueTest, ObjectAdapters);

TYPED_TEST(ObjectValueTest, EntriesHoldOneCountPerValue) {
  using A = TypeParam;
  CountedObject a, b;
  const Ref<IUnknown> refA(&a), refB(&b);  // counts 2: the test's own and these
  auto held = [](const CountedObject& v) { return v.Count() - 2; };
  Ref<typename A::Container> c = A::Make();
  const typename A::Key key = this->K(7);

  ASSERT_EQ(c->Add(key, refA), 0);
  EXPECT_EQ(held(a), 1);
  ASSERT_EQ(c->Add(key, refB), 0);
  EXPECT_EQ(held(a), 0) << "the replaced value is released once";
  EXPECT_EQ(held(b), 1);
  ASSERT_EQ(c->Add(key, refB), 0);
  EXPECT_EQ(held(b), 1) << "storing the held value again";
  EXPECT_EQ(c->Count(), 1);
  {
    Ref<IUnknown> item = c->Item(key);
    Ref<IUnknown> at = c->ValueAt(0);
    EXPECT_EQ(item.Get(), &b);
    EXPECT_EQ(held(b), 3) << "Item and ValueAt hand out counted references";
  }
  EXPECT_EQ(held(b), 1);

  c->SetItem(this->K(8), refA);
  c->RemoveAt(0);
  EXPECT_EQ(held(b), 0) << "a removed entry gives its value back";
  c->Add(this->K(9), refB);
  c->Remove(this->K(8));
  EXPECT_EQ(held(a), 0);
  c->Clear();
  EXPECT_EQ(held(b), 0) << "a cleared entry gives its value back";
  c->Add(this->K(9), refB);
  c->Add(this->K(10), Ref<IUnknown>());
  EXPECT_EQ(c->Contains(this->K(10)), -1);
  EXPECT_FALSE(c->Item(this->K(10)));
  c = nullptr;
  EXPECT_EQ(held(b), 0) << "a destroyed map gives its values back";
}

}  // namespace
}  // namespace hb::test
