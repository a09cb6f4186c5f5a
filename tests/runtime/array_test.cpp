#include "runtime/array.h"

#include <gtest/gtest.h>

namespace hb {
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

TEST(Array, InvertedRangeIsError9AndLeavesItUndimensioned) {
  ClearError();
  Array<DynString> words;
  words.Dimension(0, -2);
  EXPECT_EQ(LastError(), kErrorSubscriptOutOfRange);
  EXPECT_FALSE(words.Dimensioned());
  ClearError();
}

TEST(Array, PreserveKeepsElementsAndEmptiesNewOnes) {
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

}  // namespace
}  // namespace hb
