// Long deterministic sequences of every operation on each container against
// the model of differential.h, checked after every step: a small-key phase
// that walks the first growth steps with many collisions, then a phase past
// 1000 entries that removes with 1000 or more and with fewer entries behind.
//
// HASHBENCH_TEST_SCALE (a percentage, default 100) shortens the sequences,
// for slow runs such as memcheck.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/containers/adapters.h"
#include "tests/containers/differential.h"
#include "tests/support/live_object_test.h"

namespace hb::test {
namespace {

int Scaled(int steps) {
  const char* scale = std::getenv("HASHBENCH_TEST_SCALE");
  const int percent = scale == nullptr ? 100 : std::atoi(scale);
  return percent <= 0 || percent >= 100 ? steps : steps * percent / 100 + 1;
}

template <class A>
class DifferentialTest : public LiveObjectTest {};

using Adapters = ::testing::Types<BagAdapter, StringMapAdapter, ObjectMapAdapter, NumberMapAdapter>;
TYPED_TEST_SUITE(DifferentialTest, Adapters);

// Mixed operations over 400 keys: sizes up to a few hundred, three growth steps.
TYPED_TEST(DifferentialTest, RandomMixedOperations) {
  Differential<TypeParam> run;
  std::mt19937 random(20261210);
  const int steps = Scaled(6000);
  for (int step = 0; step < steps; ++step) {
    const uint32_t roll = random() % 1000;
    Op op{OpKind::kLookup, static_cast<uint32_t>(random() % 400), static_cast<int>(random() % 1000), 0};
    if (roll < 350) {
      op.kind = OpKind::kAdd;
    } else if (roll < 500) {
      op.kind = OpKind::kSetItem;
    } else if (roll < 620) {
      op.kind = OpKind::kRemove;
    } else if (roll < 750) {
      op.kind = OpKind::kRemoveAt;
      op.index = static_cast<int32_t>(random() % static_cast<uint32_t>(run.Size() + 4)) - 2;
    } else if (roll < 752) {
      op.kind = OpKind::kClear;
    }
    const std::string error = run.Apply(op);
    ASSERT_EQ(error, "") << "step " << step << " op " << static_cast<int>(op.kind) << " key " << op.key;
  }
}

// Past 1000 entries, removals at both sides of the renumbering switch.
TYPED_TEST(DifferentialTest, LargeTableRemovalsOnBothSidesOfTheSwitch) {
  Differential<TypeParam> run;
  std::mt19937 random(1000);
  uint32_t next = 0;
  auto apply = [&](Op op) { return run.Apply(op); };
  while (run.Size() < 1400) {
    ASSERT_EQ(apply({OpKind::kAdd, next++, static_cast<int>(next % 7), 0}), "") << "adding " << next;
  }
  const int rounds = Scaled(150);
  for (int round = 0; round < rounds; ++round) {
    const int32_t size = run.Size();
    const int32_t front = static_cast<int32_t>(random() % 300);            // >= 1000 entries behind
    const int32_t back = size - 1 - static_cast<int32_t>(random() % 900);  // fewer behind
    ASSERT_EQ(apply({OpKind::kRemoveAt, 0, 0, front}), "") << "front " << front << " of " << size;
    ASSERT_EQ(apply({OpKind::kRemoveAt, 0, 0, back - 1}), "") << "back " << back << " of " << size;
    ASSERT_EQ(apply({OpKind::kRemove, static_cast<uint32_t>(random() % next), 0, 0}), "") << "round " << round;
    ASSERT_EQ(apply({OpKind::kAdd, next++, round, 0}), "") << "round " << round;
    ASSERT_EQ(apply({OpKind::kSetItem, static_cast<uint32_t>(random() % next), round + 1, 0}), "");
  }
  ASSERT_GE(run.Size(), 1000);
  EXPECT_EQ(InspectTable(run.container()).capacity, 3079) << "six growth steps";
  ASSERT_EQ(apply({OpKind::kClear, 0, 0, 0}), "");
  ASSERT_EQ(apply({OpKind::kAdd, 5, 1, 0}), "");
}

}  // namespace
}  // namespace hb::test
