// The real program and the refusal message on a private X server.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/expected_output.h"
#include "tests/app/x_session.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_injection.h"

namespace hb::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kColumns = 80;
constexpr int kRows = 50;

// Ink pattern of a text line over a whole row: '#' for a character, '.' for a
// blank or an empty cell; a tick count is a run of ink.
std::regex RowPattern(const std::string& line) {
  std::string pattern;
  const std::string ticks = "{ticks}";
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line.compare(i, ticks.size(), ticks) == 0) {
      pattern += "#+";
      i += ticks.size() - 1;
    } else {
      pattern += line[i] == ' ' ? "\\." : "#";
    }
  }
  return std::regex(pattern + "\\.*");
}

// Rows 1 to 49 should hold lines 27 to 75 of the run, and row 50, where the
// cursor stands, nothing. Returns the number of the first row that differs,
// 0 when all agree.
int FirstWrongRow(const std::vector<std::string>& rows) {
  const std::vector<std::string> lines = ExpectedRunLines();
  if (rows.size() != kRows) return 1;
  for (int row = 0; row < kRows - 1; ++row)
    if (!std::regex_match(rows[row], RowPattern(lines[lines.size() - (kRows - 1) + row]))) return row + 1;
  return rows[kRows - 1] == std::string(kColumns, '.') ? 0 : kRows;
}

std::string Describe(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (VirtualDisplay::Installed()) session_ = std::make_unique<XSession>();
  }
  static void TearDownTestSuite() { session_.reset(); }
  void SetUp() override {
    if (session_ == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(session_->Ok()) << session_->Problem();
  }

  // The program ends with a leak check in a build with LeakSanitizer, which
  // ignores what system libraries keep (see the file).
  static std::unique_ptr<ChildProcess> Start(const char* program, std::vector<std::string> environment = {}) {
    return StartCommand({program}, std::move(environment));
  }
  static std::unique_ptr<ChildProcess> StartCommand(const std::vector<std::string>& argv,
                                                    std::vector<std::string> environment = {}) {
    environment.push_back("LSAN_OPTIONS=print_suppressions=0:suppressions=" HB_LSAN_SUPPRESSIONS);
    return std::make_unique<ChildProcess>(argv, session_->ForChildren(environment));
  }

  static std::unique_ptr<XSession> session_;
};
std::unique_ptr<XSession> WindowTest::session_;

TEST_F(WindowTest, ShowsTheLastLinesAndWaitsForAKeyAfterDone) {
  const auto program = Start(HASHBENCH_PROGRAM);
  const Window window = session_->WaitForWindow("Test", 30);
  ASSERT_NE(window, 0u) << "no window titled Test";

  std::vector<std::string> rows;
  for (int attempt = 0; attempt < 300 && FirstWrongRow(rows) != 0; ++attempt) {
    std::this_thread::sleep_for(milliseconds(100));
    rows = session_->InkRows(window, kColumns, kRows);
  }
  ASSERT_EQ(FirstWrongRow(rows), 0) << "cells with ink:\n" << Describe(rows);

  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(session_->Shown(window)) << "the program must wait for a key after Done";
  ASSERT_TRUE(session_->TypeKey(window, "x"));
  EXPECT_EQ(program->Wait(seconds(30)), 0);
}

// The console thread's stack is its own: under a 64 KiB stack limit (which
// threads otherwise inherit) the font libraries overflowed it.
TEST_F(WindowTest, RunsToTheEndUnderASmallStackLimit) {
  const auto program = StartCommand({"/bin/sh", "-c", "ulimit -s 64 && exec \"$0\"", HASHBENCH_PROGRAM});
  const Window window = session_->WaitForWindow("Test", 30);
  ASSERT_NE(window, 0u) << "no window titled Test: " << program->ErrorOutput();
  std::vector<std::string> rows;
  for (int attempt = 0; attempt < 300 && FirstWrongRow(rows) != 0; ++attempt) {
    std::this_thread::sleep_for(milliseconds(100));
    rows = session_->InkRows(window, kColumns, kRows);
  }
  EXPECT_EQ(FirstWrongRow(rows), 0) << "cells with ink:\n" << Describe(rows);
  ASSERT_TRUE(session_->TypeKey(window, "x"));
  EXPECT_EQ(program->Wait(seconds(30)), 0) << program->ErrorOutput();
}

TEST_F(WindowTest, KeyTypedWhileTheBenchmarksRunEndsTheProgramAfterDone) {
  const auto program = Start(HASHBENCH_PROGRAM);
  const Window window = session_->WaitForWindow("Test", 30);
  ASSERT_NE(window, 0u) << "no window titled Test";
  ASSERT_TRUE(session_->TypeKey(window, "Return"));
  EXPECT_EQ(program->Wait(seconds(60)), 0);
}

TEST_F(WindowTest, RefusalMessageWaitsForAKeyThenEndsWith255) {
  const auto probe = Start(REFUSAL_PROBE);
  const Window window = session_->WaitForWindow("Error", 30);
  ASSERT_NE(window, 0u) << "no message window";
  // The window may be shown a moment before its first Expose draws the text.
  std::vector<std::string> rows;
  for (int attempt = 0; attempt < 50 && rows != std::vector<std::string>{"#"}; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(milliseconds(100));
    rows = session_->InkRows(window, 1, 1);
  }
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "#") << "the message window shows no text";
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(session_->Shown(window)) << "the message must wait for the user";
  ASSERT_TRUE(session_->TypeKey(window, "space"));
  EXPECT_EQ(probe->Wait(seconds(30)), 255);
}

// With a display at hand the window may still not be had for a reason of the
// program's own: the run then goes to standard output and says why.
TEST_F(WindowTest, WithoutAFontOrAThreadTheRunGoesToStandardOutputAndSaysWhy) {
  struct Case {
    const char* name;
    std::vector<std::string> environment;
    const char* message;
  };
  const Case kCases[] = {
      {"no font", {"FONTCONFIG_FILE=" HB_NO_FONTS_CONFIG}, "hashbench: no usable font; writing to standard output\n"},
      {"no thread", InjectFault(kNoThreadFault),
       "hashbench: cannot start the console thread: Resource temporarily unavailable; writing to standard output\n"},
  };
  for (const Case& c : kCases) {
    const auto program = Start(HASHBENCH_PROGRAM, c.environment);
    program->CloseInput();  // the key wait ends at the end of input
    EXPECT_EQ(program->Wait(seconds(120)), 0) << c.name;
    EXPECT_EQ(program->ErrorOutput(), c.message) << c.name;
    EXPECT_EQ(RunOutputMismatch(program->Output()), "") << c.name;
  }
}

TEST(RefusalWithoutDisplay, MessageGoesToStandardError) {
  ChildProcess probe({REFUSAL_PROBE}, Environment{{}, {"DISPLAY"}});
  EXPECT_EQ(probe.Wait(seconds(30)), 255);
  EXPECT_EQ(probe.ErrorOutput(), "Win98 No Support\n");
}

}  // namespace
}  // namespace hb::test
