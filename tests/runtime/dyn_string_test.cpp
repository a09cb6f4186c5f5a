#include "runtime/dyn_string.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/errors.h"

namespace hb::test {
namespace {

using namespace std::string_literals;

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

TEST(DynString, EqualAndCompareAreBytewiseAndUnsigned) {
  struct Case {
    std::string a, b;
    int order;  // sign of Compare(a, b)
  };
  const Case kCases[] = {
      {"", "", 0},           {"abc", "abc", 0},   {"word", "WORD", 1}, {"abc", "abd", -1},
      {"ab", "a", 1},        {"", "a", -1},       {"\xFF", "a", 1},    {"abc", "abc\0"s, -1},
      {"a\0b"s, "a\0c"s, -1},
  };
  for (const Case& c : kCases) {
    const DynString a(c.a), b(c.b);
    const int order = Compare(a, b);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << "'" << c.a << "' vs '" << c.b << "'";
    EXPECT_EQ(Equal(a, b), c.order == 0) << "'" << c.a << "' vs '" << c.b << "'";
    EXPECT_EQ(Equal(b, a), c.order == 0) << "'" << c.b << "' vs '" << c.a << "'";
  }
  EXPECT_TRUE(Equal(DynString(), DynString("")));
  EXPECT_TRUE(Equal(DynString(static_cast<const char*>(nullptr)), DynString(nullptr, 4)));
}

TEST(DynString, AssignFromInsideItself) {
  DynString text("abcd");
  text.Assign(text.Data() + 1, 3);
  EXPECT_EQ(text.View(), "bcd");
  text.Assign(text.Data(), 2);
  EXPECT_EQ(text.View(), "bc");
  const DynString& same = text;
  text = same;
  EXPECT_EQ(text.View(), "bc");
}

}  // namespace
}  // namespace hb::test
