#include "runtime/dyn_string.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/alloc.h"
#include "runtime/errors.h"

namespace hb {
namespace {

TEST(DynString, EmptyIsNullAndEqualsTheEmptyText) {
  DynString null;
  DynString empty("");
  EXPECT_EQ(null.Data(), nullptr);
  EXPECT_EQ(empty.Data(), nullptr);
  EXPECT_TRUE(Equal(null, empty));
  EXPECT_EQ(null.Length(), 0u);
}

TEST(DynString, LengthIsAuthoritative) {
  const DynString withZero(std::string_view("ab\0cd", 5));
  const DynString cut("ab");
  EXPECT_EQ(withZero.Length(), 5u);
  EXPECT_FALSE(Equal(withZero, cut));
  EXPECT_FALSE(Equal(DynString("word"), DynString("WORD")));
  EXPECT_EQ(withZero.Data()[5], '\0');
}

// Every length around the inline comparison's word sizes, and a difference
// at every position of it.
TEST(DynString, EqualSeesADifferenceAtEveryPosition) {
  for (uint32_t length = 1; length <= 40; ++length) {
    std::string text(length, 'a');
    for (uint32_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
    const DynString original(text);
    EXPECT_TRUE(Equal(original, DynString(text))) << "length " << length;
    for (uint32_t at = 0; at < length; ++at) {
      std::string changed = text;
      changed[at] = '\0';
      EXPECT_FALSE(Equal(original, DynString(changed))) << "length " << length << ", byte " << at;
    }
  }
}

// Copies made from bytes, from another string and by assignment, around the
// piece sizes of the inline copy, with freed blocks of the same size about to be reused.
TEST(DynString, CopiesKeepEveryByteAtEveryLength) {
  for (uint32_t length = 1; length <= 40; ++length) {
    std::string text(length, 'a');
    for (uint32_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + (i * 7) % 26);
    for (int round = 0; round < 2; ++round) {
      const DynString fromBytes(text.data(), length);
      const DynString copy(fromBytes);
      DynString assigned(std::string(length, 'z'));  // same length: the buffer is reused
      assigned = fromBytes;
      assigned.Assign(assigned.Data(), length);  // its own bytes: unchanged
      for (const DynString* s : {&fromBytes, &copy, static_cast<const DynString*>(&assigned)}) {
        EXPECT_EQ(s->View(), text) << "length " << length;
        ASSERT_NE(s->Data(), nullptr);
        EXPECT_EQ(s->Data()[length], '\0') << "length " << length;
      }
    }
  }
}

TEST(DynString, AssignmentOfEqualLengthReusesTheBuffer) {
  DynString target("abcd");
  const char* buffer = target.Data();
  const DynString source("wxyz");
  target = source;
  EXPECT_EQ(target.Data(), buffer);
  EXPECT_EQ(target.View(), "wxyz");
  EXPECT_NE(source.Data(), target.Data());
}

TEST(DynString, MoveHandsTheBufferOver) {
  DynString source("key");
  const char* buffer = source.Data();
  DynString target(std::move(source));
  EXPECT_EQ(target.Data(), buffer);
  EXPECT_TRUE(source.Empty());  // NOLINT(bugprone-use-after-move)
}

TEST(DynString, OutOfMemoryGivesTheEmptyStringAndError7) {
  ClearError();
  DynString target("old text");
  {
    ScopedAllocationFailure fail(1);
    target = DynString("a longer text");
  }
  EXPECT_TRUE(target.Empty());
  EXPECT_EQ(LastError(), kErrorOutOfMemory);
  ClearError();
  DynString later("works again");
  EXPECT_EQ(later.View(), "works again");
  EXPECT_EQ(LastError(), 0);
}

}  // namespace
}  // namespace hb
