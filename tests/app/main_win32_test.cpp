// Main through the real Win32 console, in this process. The console is
// opened first and taller than the program's own, 80 x 100, so that none of
// the 75 lines scrolls out of view: Main's own OpenConsoleWindow then finds
// a console open and prints into it. Its rows are read back through the
// surface's WM_GETTEXT.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "app/main_routine.h"
#include "app/random_key.h"
#include "console/console.h"
#include "console/win32_console.h"
#include "tests/app/expected_output.h"

namespace hb::test {
namespace {

constexpr int kColumns = 80;
constexpr int kRows = 100;

std::vector<std::string> Rows(HWND surface) {
  const auto length = static_cast<std::size_t>(SendMessageW(surface, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(surface, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  std::vector<std::string> rows(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, L"\r\n") == 0) {
      rows.emplace_back();
      ++i;
    } else {
      rows.back() += static_cast<char>(text[i]);
    }
  }
  return rows;
}

TEST(MainOnWindows, PrintsTheLinesOfACorrectRunAndReturnsZeroOnAKeyTypedAhead) {
  InitializeFontTable();
  ResetRandomState();
  ASSERT_NE(OpenConsoleWindow(u"Test", 0, kColumns, kRows, 0, 0), 0u);
  const auto surface = reinterpret_cast<HWND>(CurrentWin32ConsoleFacts()->surface);
  SendMessageW(surface, WM_CHAR, 'x', 0);  // typed while the benchmarks run

  EXPECT_EQ(Main(0, 0, u"", kShowDefault), 0);

  const std::vector<std::string> rows = Rows(surface);
  const std::vector<std::string> expected = test::ExpectedRunLines();
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRows));
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(std::regex_match(rows[i], LinePattern(expected[i])))
        << "row " << i + 1 << ": '" << rows[i] << "', expected '" << expected[i] << "'";
  for (std::size_t i = expected.size(); i < rows.size(); ++i) EXPECT_EQ(rows[i], "") << "row " << i + 1;
}

}  // namespace
}  // namespace hb::test
