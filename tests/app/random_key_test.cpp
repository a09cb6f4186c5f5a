#include "app/random_key.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/benchmarks.h"
#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/object.h"

namespace hb::test {
namespace {

std::string NthKeyFromStart(int n) {
  ResetRandomState();
  DynString key;
  for (int i = 0; i < n; ++i) key = RandomKey();
  return std::string(key.View());
}

TEST(RandomInRange, FirstDrawFromTheStartValue) {
  ResetRandomState();
  EXPECT_EQ(RandomInRange(65, 90), 90);
  EXPECT_EQ(CurrentRandomState().seed, 4160191484u);
  EXPECT_EQ(CurrentRandomState().last, 4160191484u);
}

// The full 32-bit span needs the 64-bit product: (seed >> 1) * 2^32 >> 31.
TEST(RandomInRange, WholeRangeIsExact) {
  ResetRandomState();
  EXPECT_EQ(RandomInRange(INT_MIN, INT_MAX), int64_t{4160191484} + INT_MIN);
}

TEST(RandomInRange, ArgumentOrderDoesNotMatter) {
  struct Case { int32_t a, b; };
  const Case kCases[] = {{65, 90}, {0, 1}, {-10, 10}, {-7, -7}, {INT_MIN, INT_MAX}, {-1000, -2}, {0, 0}};
  for (const Case& c : kCases) {
    ResetRandomState();
    int32_t forward[50];
    for (int32_t& value : forward) value = RandomInRange(c.a, c.b);
    ResetRandomState();
    for (int i = 0; i < 50; ++i) {
      const int32_t backward = RandomInRange(c.b, c.a);
      EXPECT_EQ(backward, forward[i]) << c.a << ", " << c.b << " draw " << i;
      EXPECT_GE(backward, std::min(c.a, c.b));
      EXPECT_LE(backward, std::max(c.a, c.b));
    }
  }
}

TEST(RandomKey, KnownKeysOfARun) {
  struct Case { int n; const char* key; };
  const Case kCases[] = {
      {1, "ZFNDWAMYIURWHQVRMYFY"},
      {2, "OZDLZFRRJBVLLUOLCYQX"},
      {3, "DUZLEGXNVWXTUFGHTVBN"},
      {2 * kBuildKeys + 1, "BXRHSYRZERCNGJAFOLNC"},  // the map benchmark's first key
      {3 * kBuildKeys, "DESZPJQWYJGBLMKOFTNV"},      // and its last
  };
  for (const Case& c : kCases) EXPECT_EQ(NthKeyFromStart(c.n), c.key) << "key " << c.n;
}

// The keys above are the map benchmark's only when the bag benchmark draws
// exactly 2000 keys before it and the map benchmark the next 1000. No console
// is open here, so the procedures print nothing. Each releases its container
// and with it every entry object before it returns.
TEST(RandomKey, BenchmarksDrawTheirShareOfKeys) {
  struct Case { void (*run)(); int keys; const char* name; };
  const Case kCases[] = {{WordBagDemo, 0, "WordBagDemo"},
                         {StringBagBenchmark, 2 * kBuildKeys, "StringBagBenchmark"},
                         {StringMapDemo, 0, "StringMapDemo"},
                         {StringMapBenchmark, kBuildKeys, "StringMapBenchmark"}};
  for (const Case& c : kCases) {
    NthKeyFromStart(5);
    const int32_t liveBefore = LiveObjectCount();
    c.run();
    EXPECT_EQ(LiveObjectCount(), liveBefore) << c.name;
    const RandomState after = CurrentRandomState();
    NthKeyFromStart(5 + c.keys);
    EXPECT_EQ(after.seed, CurrentRandomState().seed) << c.name;
  }
}

// A container that cannot be made (memory exhausted at its first block)
// leaves its procedure with nothing to do: no crash, no key drawn.
TEST(Benchmarks, ContainerThatCannotBeMadeEndsTheProcedureQuietly) {
  for (void (*run)() : {WordBagDemo, StringBagBenchmark, StringMapDemo, StringMapBenchmark}) {
    ResetRandomState();
    const int32_t liveBefore = LiveObjectCount();
    {
      ScopedAllocationFailure failure(1);
      run();
    }
    EXPECT_EQ(CurrentRandomState().seed, kRandomStart);
    EXPECT_EQ(LiveObjectCount(), liveBefore);
  }
}

}  // namespace
}  // namespace hb::test
