#include "runtime/dyn_string.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <utility>

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

// View() hands out the bytes of a living string only: on a temporary the
// view would dangle at the end of the statement, so it does not compile.
template <class S>
concept HasView = requires(S s) { std::forward<S>(s).View(); };
static_assert(HasView<DynString&> && HasView<const DynString&>);
static_assert(!HasView<DynString> && !HasView<const DynString>);
// std::string converts only when asked.
static_assert(!std::is_convertible_v<std::string, DynString> && std::is_constructible_v<DynString, std::string>);
static_assert(!std::is_convertible_v<DynString, std::string> && std::is_constructible_v<std::string, DynString>);

TEST(DynString, StandardStringsConvertBothWaysByteForByte) {
  for (const std::string& text : {""s, "plain"s, "a\0b"s, std::string(1, '\0'), std::string(300, 'x') + '\xFF'}) {
    const DynString dyn(text);
    EXPECT_EQ(dyn.Length(), text.size());
    EXPECT_EQ(std::string(dyn), text);
    EXPECT_EQ(static_cast<std::string>(DynString(std::string_view(text))), text);
    std::ostringstream out;
    out << dyn;
    EXPECT_EQ(out.str(), text) << "operator<< writes every byte, zero bytes included";
  }
}

// The ordering is Compare's, so standard ordered and hashed containers keep
// exactly the distinct strings: length counts, zero bytes count, case counts.
TEST(DynString, WorksAsTheKeyOfStandardContainers) {
  const std::string texts[] = {"b", "a", "A", "a\0"s, "a\0b"s, "", "ab", "a", "\xFF", ""};
  std::set<DynString> ordered;
  std::unordered_set<DynString> hashed;
  std::set<std::string> reference;
  for (const std::string& text : texts) {
    ordered.insert(DynString(text));
    hashed.insert(DynString(text));
    reference.insert(text);
  }
  ASSERT_EQ(ordered.size(), reference.size());
  EXPECT_EQ(hashed.size(), reference.size());
  auto expected = reference.begin();  // std::string orders bytes as unsigned char too
  for (const DynString& text : ordered) EXPECT_EQ(std::string(text), *expected++);
  for (const std::string& text : reference) EXPECT_EQ(hashed.count(DynString(text)), 1u) << text;
  EXPECT_EQ(std::hash<DynString>{}(DynString("key")), std::hash<std::string_view>{}("key"));
  EXPECT_LT(DynString("a"), DynString("b"));
  EXPECT_GT(DynString("a\0"s), DynString("a"));
  EXPECT_EQ(DynString("x") <=> DynString("x"), std::strong_ordering::equal);
}

}  // namespace
}  // namespace hb::test
