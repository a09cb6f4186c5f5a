#include "app/command_line.h"

#include <gtest/gtest.h>

namespace hb::test {
namespace {

TEST(SkipProgramName, Table) {
  struct Case { std::u16string_view line, arguments; };
  const Case kCases[] = {
      {u"", u""},
      {u"hashbench", u""},
      {u"hashbench a b", u"a b"},
      {u"hashbench    a  b ", u"a  b "},
      {u"/usr/bin/hashbench\t-x", u"\t-x"},           // a tab ends the name but is no blank
      {u"\"/opt/my dir/hashbench\"", u""},             // only the quoted name
      {u"\"/opt/my dir/hashbench\" -x \"y z\"", u"-x \"y z\""},
      {u"\"unterminated name -x", u""},                // ends inside the opening quote
      {u"\"a b\"c d", u"c d"},                          // only blanks after the quote are skipped
      {u"\"\" x", u"x"},
      {u"   x", u"x"},                                 // no name at all: only the blanks go
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(SkipProgramName(c.line), c.arguments)
        << "line '" << std::string(c.line.begin(), c.line.end()) << "'";
  }
}

TEST(JoinCommandLine, QuotesWhatWouldNotReadAsOneArgument) {
  struct Case { std::vector<std::string> arguments; std::string line; };
  const Case kCases[] = {
      {{}, ""},
      {{"hashbench"}, "hashbench"},
      {{"/opt/my dir/hashbench", "-x"}, "\"/opt/my dir/hashbench\" -x"},
      {{"hashbench", "", "y z"}, "hashbench \"\" \"y z\""},
  };
  for (const Case& c : kCases) EXPECT_EQ(JoinCommandLine(c.arguments), c.line);
}

TEST(JoinCommandLine, RoundTripsTheProgramName) {
  const std::string line = JoinCommandLine({"/opt/my dir/hashbench", "--flag", "two words"});
  const std::u16string wide(line.begin(), line.end());
  EXPECT_EQ(SkipProgramName(wide), u"--flag \"two words\"");
}

}  // namespace
}  // namespace hb::test
