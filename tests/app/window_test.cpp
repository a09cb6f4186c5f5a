// The real program and the refusal message on a private X server.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "expected_output.h"
#include "x_session.h"

namespace hb::test {
namespace {

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

// Rows 1 to 49 hold lines 27 to 75 of the run; row 50, where the cursor
// stands, is empty.
bool ShowsTheEndOfTheRun(const std::vector<std::string>& rows) {
  const std::vector<std::string> lines = ExpectedRunLines();
  if (rows.size() != kRows) return false;
  for (int row = 0; row < kRows - 1; ++row)
    if (!std::regex_match(rows[row], RowPattern(lines[lines.size() - (kRows - 1) + row]))) return false;
  return rows[kRows - 1] == std::string(kColumns, '.');
}

std::string Describe(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { session_ = std::make_unique<XSession>(); }
  static void TearDownTestSuite() { session_.reset(); }
  void SetUp() override { ASSERT_TRUE(session_->Ok()) << "Xvfb did not start"; }

  static std::unique_ptr<XSession> session_;
};
std::unique_ptr<XSession> WindowTest::session_;

TEST_F(WindowTest, ShowsTheLastLinesAndWaitsForAKeyAfterDone) {
  ChildProcess program(HASHBENCH_PROGRAM, {}, session_->DisplayName());
  const Window window = session_->WaitForWindow("Test", 30);
  ASSERT_NE(window, 0u) << "no window titled Test";

  std::vector<std::string> rows;
  for (int attempt = 0; attempt < 300 && !ShowsTheEndOfTheRun(rows); ++attempt) {
    usleep(100 * 1000);
    rows = session_->InkRows(window, kColumns, kRows);
  }
  ASSERT_TRUE(ShowsTheEndOfTheRun(rows)) << Describe(rows);

  usleep(300 * 1000);
  EXPECT_TRUE(program.Running()) << "the program must wait for a key after Done";
  ASSERT_TRUE(session_->TypeKey(window, "x"));
  EXPECT_EQ(program.WaitForExit(30), 0);
}

TEST_F(WindowTest, KeyTypedWhileTheBenchmarksRunEndsTheProgramAfterDone) {
  ChildProcess program(HASHBENCH_PROGRAM, {}, session_->DisplayName());
  const Window window = session_->WaitForWindow("Test", 30);
  ASSERT_NE(window, 0u) << "no window titled Test";
  ASSERT_TRUE(session_->TypeKey(window, "Return"));
  EXPECT_EQ(program.WaitForExit(60), 0);
}

TEST_F(WindowTest, RefusalMessageWaitsForAKeyThenEndsWith255) {
  ChildProcess probe(REFUSAL_PROBE, {}, session_->DisplayName());
  const Window window = session_->WaitForWindow("Error", 30);
  ASSERT_NE(window, 0u) << "no message window";
  const std::vector<std::string> rows = session_->InkRows(window, 1, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "#") << "the message window shows no text";
  usleep(300 * 1000);
  EXPECT_TRUE(probe.Running()) << "the message must wait for the user";
  ASSERT_TRUE(session_->TypeKey(window, "space"));
  EXPECT_EQ(probe.WaitForExit(30), 255);
}

TEST(RefusalWithoutDisplay, MessageGoesToStandardError) {
  ChildProcess probe(REFUSAL_PROBE, {}, "");
  EXPECT_EQ(probe.WaitForExit(30), 255);
  EXPECT_EQ(probe.Stderr(), "Win98 No Support\n");
}

}  // namespace
}  // namespace hb::test
