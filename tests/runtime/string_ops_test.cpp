#include "runtime/string_ops.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "runtime/errors.h"

namespace hb::test {
namespace {

using namespace std::string_literals;

TEST(CountFields, CountsNonOverlappingDelimiters) {
  struct Case {
    std::string text, delimiter;
    int32_t want;
  };
  const Case kCases[] = {
      {"", " ", 1},
      {" ", " ", 2},
      {"a  b", " ", 3},
      {"the quick brown fox", " ", 4},
      {"aaaa", "aa", 3},
      {"aaa", "aa", 2},
      {"a--b--", "--", 3},
      {"ab", "abc", 1},
      {"x\0y\0z"s, "\0"s, 3},
      {"a, b,\"c,d\"", "", 3},  // empty delimiter: comma-separated, quotes hold commas
      {"", "", 1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(CountFields(DynString(c.text), DynString(c.delimiter)), c.want)
        << "text '" << c.text << "' delimiter '" << c.delimiter << "'";
  }
}

std::vector<std::string> Contents(const Array<DynString>& table) {
  std::vector<std::string> out;
  for (int32_t i = table.LowerBound(); i <= table.UpperBound(); ++i) out.emplace_back(table[i].View());
  return out;
}

TEST(SplitFields, FillsTheTableAndEmptiesWhatIsLeft) {
  struct Case {
    std::string text, delimiter;
    int32_t upper;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {"a  b", " ", 2, {"a", "", "b"}},
      {"a b c", " ", 1, {"a", "b"}},         // shorter table: the rest is ignored
      {"a b", " ", 3, {"a", "b", "", ""}},  // longer table: emptied
      {"", " ", 1, {"", ""}},
      {"one", "", 0, {"one"}},
      {"k1--k2", "--", 1, {"k1", "k2"}},
  };
  for (const Case& c : kCases) {
    Array<DynString> table;
    table.Dimension(0, c.upper);
    for (int32_t i = 0; i <= c.upper; ++i) table[i] = DynString("stale");
    SplitFields(DynString(c.text), DynString(c.delimiter), table);
    EXPECT_EQ(Contents(table), c.want) << "text '" << c.text << "'";
  }
}

TEST(SplitFields, TextMayBeAnElementOfTheTable) {
  Array<DynString> table;
  table.Dimension(0, 2);
  table[0] = DynString("x y z");
  SplitFields(table[0], DynString(" "), table);
  EXPECT_EQ(Contents(table), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(SplitFields, UndimensionedTableIsLeftAlone) {
  Array<DynString> table;
  SplitFields(DynString("a b"), DynString(" "), table);
  EXPECT_FALSE(table.Dimensioned());
}

TEST(Spaces, BlanksOrEmpty) {
  ClearError();
  EXPECT_TRUE(Spaces(0).Empty());
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(std::string(Spaces(20)), std::string(20, ' '));
  EXPECT_TRUE(Spaces(-3).Empty());
  EXPECT_EQ(LastError(), kErrorInvalidArgument);
  ClearError();
}

TEST(ToWide, MapsEachByteThroughWindows1252) {
  struct Case {
    unsigned char byte;
    char16_t want;
  };
  const Case kCases[] = {
      {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081},
      {0x8A, 0x0160}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x93, 0x201C},
      {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9},
      {0xFF, 0x00FF},
  };
  for (const Case& c : kCases) {
    const char byte = static_cast<char>(c.byte);
    EXPECT_EQ(ToWide(DynString(&byte, 1)), std::u16string(1, c.want)) << "byte " << int{c.byte};
  }
  EXPECT_EQ(ToWide(DynString("a\x80z")), u"a\u20ACz");
  EXPECT_TRUE(ToWide(DynString()).empty());
}

}  // namespace
}  // namespace hb::test
