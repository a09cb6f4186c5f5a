#include "console/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace hb::test {
namespace {

TEST(Utf8Test, RoundTripsAndReplacesMalformedInput) {
  struct Utf8Case {
    std::string bytes;
    std::u16string text;
  };
  const Utf8Case kCases[] = {
      {"abc", u"abc"},
      {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
  };
  for (const Utf8Case& c : kCases) {
    EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(ToUtf8(c.text), c.bytes) << c.bytes;
  }
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");          // truncated
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
  EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
}

}  // namespace
}  // namespace hb::test
