#include "containers/key_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace hb::test {
namespace {

using namespace std::string_literals;

TEST(HashBytes, MultiplicativeHashOfKeyBytes) {
  struct Case {
    std::string bytes;
    int32_t want;
  };
  const Case kCases[] = {
      {"", 1},
      {"a", 1610612838},
      {"abc", 536874051},
      {"\0\0\0\0"s, 625},
      {"\x01\0\0\0"s, 536871662},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(HashBytes(c.bytes.data(), c.bytes.size()), c.want) << "'" << c.bytes << "'";
  }
}

TEST(HashText, StopsAtTheFirstZeroByte) {
  struct Case {
    std::string text;
    int32_t want;
  };
  const Case kCases[] = {
      {"", 1}, {"abc", 536874051}, {"abc\0xyz"s, 536874051}, {"\0abc"s, 1}, {"\xFF\x80"s, HashBytes("\xFF\x80", 2)},
  };
  for (const Case& c : kCases) EXPECT_EQ(HashText(c.text.data(), c.text.size()), c.want) << "'" << c.text << "'";
  EXPECT_EQ(HashText(nullptr, 0), 1);
}

TEST(HashDWord, FourBytesLeastSignificantFirst) {
  struct Case {
    uint32_t key;
    int32_t want;
  };
  const Case kCases[] = {
      {0, 625},
      {1, 536871662},
      {0x04030201u, HashBytes("\x01\x02\x03\x04", 4)},
      {0xFFFFFFFFu, HashBytes("\xFF\xFF\xFF\xFF", 4)},
  };
  for (const Case& c : kCases) EXPECT_EQ(HashDWord(c.key), c.want) << "key " << c.key;
}

// The hash takes several bytes per step; it must equal the byte-at-a-time
// definition for every length and every alignment of the bytes.
TEST(HashBytes, EqualsTheByteLoopAtEveryLengthAndOffset) {
  unsigned char bytes[80];
  uint32_t seed = 12345;
  for (unsigned char& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<unsigned char>(seed >> 23);
  }
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t length = 0; length + offset <= sizeof bytes; ++length) {
      uint32_t h = 1;
      for (std::size_t i = 0; i < length; ++i) h = h * 1610612741u + bytes[offset + i];
      ASSERT_EQ(HashBytes(bytes + offset, length), static_cast<int32_t>(h & 0x7FFFFFFFu))
          << "length " << length << " offset " << offset;
    }
  }
  // HashText stops at the first zero byte wherever it falls.
  for (std::size_t zero = 0; zero < 40; ++zero) {
    unsigned char text[48];
    for (std::size_t i = 0; i < sizeof text; ++i) text[i] = bytes[i] == 0 ? 1 : bytes[i];
    text[zero] = 0;
    text[zero + 3] = 0;
    for (std::size_t length = 0; length <= sizeof text; ++length) {
      const auto* chars = reinterpret_cast<const char*>(text);
      ASSERT_EQ(HashText(chars, length), HashBytes(text, std::min(length, zero)))
          << "length " << length << " zero at " << zero;
    }
  }
}

}  // namespace
}  // namespace hb::test
