#include "runtime/array.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/allocation_failure.h"
#include "tests/support/counted_object.h"

namespace hb::test {
namespace {

TEST(Array, UpperBoundFollowsDimensionAndErase) {
  Array<int32_t> table;
  EXPECT_EQ(table.UpperBound(), -1);
  table.Dimension(0, 9);
  EXPECT_EQ(table.UpperBound(), 9);
  for (int32_t i = 0; i <= 9; ++i) EXPECT_EQ(table[i], 0);
  table.Erase();
  EXPECT_EQ(table.UpperBound(), -1);
  table.Erase();
  EXPECT_EQ(table.UpperBound(), -1);
}

TEST(Array, BadBoundsAreError9AndChangeNothing) {
  ClearError();
  Array<DynString> words;
  words.Dimension(0, -2);
  EXPECT_EQ(LastError(), kErrorSubscriptOutOfRange);
  EXPECT_FALSE(words.Dimensioned());

  words.Dimension(0, 1);
  words[1] = DynString("kept");
  struct Case {
    int32_t lower, upper;
  };
  for (const Case c : {Case{0, -1}, Case{1, 5}, Case{5, 0}}) {
    ClearError();
    words.DimensionPreserve(c.lower, c.upper);
    EXPECT_EQ(LastError(), kErrorSubscriptOutOfRange) << c.lower << ".." << c.upper;
    EXPECT_EQ(words.UpperBound(), 1);
    EXPECT_EQ(words[1].View(), "kept");
  }
  ClearError();
}

TEST(Array, DimensionOfADimensionedArrayDoesNothing) {
  Array<int32_t> table;
  table.Dimension(0, 2);
  table[2] = 42;
  table.Dimension(0, 9);
  EXPECT_EQ(table.UpperBound(), 2);
  EXPECT_EQ(table[2], 42);
}

TEST(Array, NonZeroLowerBound) {
  Array<int32_t> table;
  table.Dimension(5, 7);
  table[5] = 1;
  table[7] = 3;
  EXPECT_EQ(table.Size(), 3u);
  EXPECT_EQ(table.Data()[0], 1);
  EXPECT_EQ(table.Data()[2], 3);
}

TEST(Array, ResetEmptiesEveryKindAndKeepsTheBounds) {
  Array<int32_t> numbers;
  numbers.Dimension(0, 3);
  numbers[3] = 7;
  numbers.Reset();
  EXPECT_EQ(numbers.UpperBound(), 3);
  EXPECT_EQ(numbers[3], 0);

  Array<DynString> words;
  words.Dimension(0, 3);
  words[0] = DynString("a");
  words[3] = DynString("d");
  words.Reset();
  EXPECT_EQ(words.UpperBound(), 3);
  for (int32_t i = 0; i <= 3; ++i) EXPECT_TRUE(words[i].Empty()) << i;
}

TEST(Array, PreserveKeepsStringsAndEmptiesNewOnes) {
  Array<DynString> words;
  words.Dimension(0, 3);
  for (int32_t i = 0; i <= 3; ++i) words[i] = DynString(std::string(1, static_cast<char>('a' + i)));
  words.DimensionPreserve(0, 7);
  EXPECT_EQ(words[3].View(), "d");
  EXPECT_TRUE(words[7].Empty());
  words.DimensionPreserve(0, 1);
  EXPECT_EQ(words.UpperBound(), 1);
  EXPECT_EQ(words[1].View(), "b");
}

// Eight objects, each referenced once from cell i of a 0..7 table and from
// nowhere else.
struct ReferenceTable {
  CountedObject objects[8];
  Array<Ref<CountedObject>> table;

  ReferenceTable() {
    table.Dimension(0, 7);
    for (int32_t i = 0; i <= 7; ++i) {
      objects[i] = CountedObject(0);
      table[i] = Ref<CountedObject>(&objects[i]);
    }
  }
};

TEST(Array, ShrinkReleasesTheReferencesThatFallAwayOnce) {
  ReferenceTable t;
  t.table.DimensionPreserve(0, 3);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(t.objects[i].Releases(), i < 4 ? 0 : 1) << i;
    EXPECT_EQ(t.objects[i].Count(), i < 4 ? 1 : 0) << i;
  }
  t.table.DimensionPreserve(0, 7);
  EXPECT_EQ(t.table[3].Get(), &t.objects[3]);
  for (int32_t i = 4; i <= 7; ++i) EXPECT_EQ(t.table[i], nullptr) << i;
}

TEST(Array, ResetAndEraseReleaseEachReferenceOnce) {
  ReferenceTable reset;
  reset.table.Reset();
  EXPECT_EQ(reset.table.UpperBound(), 7);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(reset.objects[i].Releases(), 1) << i;
    EXPECT_EQ(reset.table[i], nullptr) << i;
  }
  ReferenceTable erased;
  erased.table.Erase();
  erased.table.Erase();
  EXPECT_EQ(erased.table.UpperBound(), -1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(erased.objects[i].Releases(), 1) << i;
}

// Redimension gives new, empty elements and releases the old ones once; out
// of memory or bad bounds, the old table stays as it was.
TEST(Array, RedimensionEmptiesAndReleasesOnlyWhenItGotTheNewBlock) {
  ReferenceTable t;
  ClearError();
  {
    ScopedAllocationFailure fail(1);
    t.table.Redimension(0, 15);
  }
  EXPECT_EQ(LastError(), kErrorOutOfMemory);
  ClearError();
  t.table.Redimension(0, -1);
  EXPECT_EQ(LastError(), kErrorSubscriptOutOfRange);
  ClearError();
  EXPECT_EQ(t.table.UpperBound(), 7);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(t.table[i].Get(), &t.objects[i]) << i;

  t.table.Redimension(0, 15);
  EXPECT_EQ(t.table.UpperBound(), 15);
  for (int32_t i = 0; i <= 15; ++i) EXPECT_EQ(t.table[i], nullptr) << i;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(t.objects[i].Releases(), 1) << i;

  Array<int32_t> numbers;
  numbers.Redimension(0, 2);
  numbers[2] = 5;
  numbers.Redimension(0, 4);
  for (int32_t i = 0; i <= 4; ++i) EXPECT_EQ(numbers[i], 0) << i;
}

TEST(Array, AReleaseThatLooksBackSeesAnEmptyCell) {
  ReferenceTable t;
  bool sawItself = false;
  t.objects[2].onRelease = [&] { sawItself = sawItself || t.table[2].Get() == &t.objects[2]; };
  t.table.Reset();
  EXPECT_EQ(t.objects[2].Releases(), 1);
  EXPECT_FALSE(sawItself);
}

}  // namespace
}  // namespace hb::test
