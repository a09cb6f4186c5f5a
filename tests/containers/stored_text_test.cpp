#include "containers/stored_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/errors.h"

namespace hb::test {
namespace {

using namespace std::string_literals;

void Store(StoredText& text, const std::string& bytes) {
  ASSERT_TRUE(text.Assign(bytes.data(), static_cast<uint32_t>(bytes.size())));
}

// Texts of every piece size the short copies cut (1 to 32 bytes and beyond),
// zero bytes inside them included, come back byte for byte.
TEST(StoredText, KeepsEveryByteAndCopiesOutAnEqualString) {
  const std::string kTexts[] = {"a", "abc", "ZFNDWAMYIURWHQVRMYFY", "with\0zero"s, std::string(32, 'x'),
                                std::string(33, 'y') + "z", std::string(300, 'q')};
  for (const std::string& bytes : kTexts) {
    StoredText text;
    Store(text, bytes);
    EXPECT_EQ(text.View(), bytes);
    const DynString copy = text.Copy();
    EXPECT_EQ(copy.View(), bytes);
    EXPECT_NE(copy.Data(), text.Data()) << "a copy of its own";
  }
}

TEST(StoredText, HoldsOnlyTheSameLengthAndBytes) {
  StoredText text;
  Store(text, "tuples");
  struct Case {
    std::string candidate;
    bool holds;
  };
  const Case kCases[] = {{"tuples", true}, {"Tuples", false}, {"tuple", false},
                         {"tuples\0"s, false}, {"tuplez", false}, {"", false}};
  for (const Case& c : kCases) {
    EXPECT_EQ(text.Holds(c.candidate.data(), static_cast<uint32_t>(c.candidate.size())), c.holds) << c.candidate;
  }
  StoredText empty;
  EXPECT_TRUE(empty.Holds(nullptr, 0));
  EXPECT_TRUE(empty.Empty());
}

// A caller's view against the stored text, at every length the short
// compare splits differently (two overlapping pieces of 16, 8 or 4 bytes,
// or single bytes) and beyond it: the same bytes are held; one byte changed
// at any position, or one byte more or less, is not.
TEST(StoredText, HoldsAViewOfTheSameBytesOnly) {
  for (uint32_t length = 0; length <= 40; ++length) {
    std::string bytes;
    for (uint32_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + i % 26);
    StoredText text;
    if (length > 0) Store(text, bytes);
    EXPECT_TRUE(text.Holds(std::string_view(bytes))) << length;
    EXPECT_FALSE(text.Holds(std::string_view(bytes + "a"))) << length;
    if (length > 0) {
      EXPECT_FALSE(text.Holds(std::string_view(bytes).substr(1))) << length;
    }
    for (uint32_t at = 0; at < length; ++at) {
      std::string changed = bytes;
      changed[at] = '\0';
      EXPECT_FALSE(text.Holds(std::string_view(changed))) << length << " at " << at;
    }
  }
}

// The same length reuses the block and needs no memory; another length
// needs a new block, and without one the old text stays, with error 7.
TEST(StoredText, AssignReusesTheBlockOrKeepsTheOldTextWhenMemoryRunsOut) {
  StoredText text;
  Store(text, "abcd");
  const char* block = text.Data();
  {
    ScopedAllocationFailure fail(1);
    EXPECT_TRUE(text.Assign("wxyz", 4));
  }
  EXPECT_EQ(text.Data(), block);
  EXPECT_EQ(text.View(), "wxyz");

  ClearError();
  {
    ScopedAllocationFailure fail(1);
    EXPECT_FALSE(text.Assign("longer", 6));
  }
  EXPECT_EQ(LastError(), kErrorOutOfMemory);
  ClearError();
  EXPECT_EQ(text.View(), "wxyz");

  EXPECT_TRUE(text.Assign(nullptr, 0));
  EXPECT_TRUE(text.Empty());
  EXPECT_EQ(text.Length(), 0u);
}

}  // namespace
}  // namespace hb::test
