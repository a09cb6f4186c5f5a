#include "app/print.h"
#include "app/startup.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "console/console.h"
#include "runtime/string_ops.h"

namespace hb::test {
namespace {

// A console can be opened once per process, so each case runs in a child
// whose text console writes to standard error, where the test can read it.
void PrintThroughConsole(void (*print)()) {
  unsetenv("DISPLAY");
  dup2(STDERR_FILENO, STDOUT_FILENO);
  OpenConsoleWindow(ToWide("Test"), 0, 80, 50, 0, 0);
  PrintString("<");
  print();
  PrintString(">");
  NewLine();
  EndProcess(0);
}

TEST(PrintNumberDeathTest, NumberTextAndOneBlank) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case { void (*print)(); const char* shown; };
  const Case kCases[] = {
      {[] { PrintNumber(5); }, "< 5 >"},
      {[] { PrintNumber(0); }, "< 0 >"},
      {[] { PrintNumber(-7); }, "<-7 >"},
      {[] { PrintNumber(1234567); }, "< 1234567 >"},  // no grouping
      {[] { PrintCount(1234567); }, "<1,234,567>"},
      {[] { PrintCount(0); }, "<0>"},
  };
  for (const Case& c : kCases)
    EXPECT_EXIT(PrintThroughConsole(c.print), testing::ExitedWithCode(0), testing::HasSubstr(c.shown));
}

}  // namespace
}  // namespace hb::test
