// Runs the real program as a user would without a display: standard input
// at its end, standard output a pipe.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/expected_output.h"
#include "tests/support/child_process.h"

namespace hb::test {
namespace {

struct ProgramOutput {
  std::string output;
  int exitCode = -1;
};

ProgramOutput RunWithoutDisplay() {
  const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ChildProcess program({HASHBENCH_PROGRAM}, Environment{{}, {"DISPLAY"}}, devNull);
  close(devNull);
  ProgramOutput run;
  run.exitCode = program.Wait(std::chrono::seconds(120));
  run.output = program.Output();
  return run;
}

// The expected line as a pattern: the tick count is any number grouped by
// thousands, everything else literal.
std::regex LinePattern(const std::string& line) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  std::string pattern = std::regex_replace(line, special, R"(\$&)");
  const std::string ticks = R"(\{ticks\})";
  for (std::size_t at; (at = pattern.find(ticks)) != std::string::npos;)
    pattern.replace(at, ticks.size(), "[0-9]{1,3}(,[0-9]{3})*");
  return std::regex(pattern);
}

TEST(ProgramRun, PrintsTheLinesOfACorrectRunAndExitsWithZero) {
  const ProgramOutput run = RunWithoutDisplay();
  EXPECT_EQ(run.exitCode, 0);

  ASSERT_FALSE(run.output.empty());
  EXPECT_EQ(run.output.back(), '\n') << "the last line ends with its line feed";
  std::vector<std::string> lines;
  std::istringstream stream(run.output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);

  const std::vector<std::string> expected = ExpectedRunLines();
  ASSERT_EQ(expected.size(), 75u);
  ASSERT_EQ(lines.size(), expected.size()) << run.output;
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(std::regex_match(lines[i], LinePattern(expected[i])))
        << "line " << i + 1 << ": '" << lines[i] << "', expected '" << expected[i] << "'";
}

// The stream console holds its output into a pipe; an end of the process that
// runs no destructors still writes it out, the unfinished last line included.
TEST(ProgramRun, OutputHeldByTheConsoleSurvivesAnEndWithoutDestructors) {
  struct Case {
    const char* how;
    int exitCode;
  };
  for (const Case& c : {Case{"end", 3}, Case{"fatal", 255}}) {
    ChildProcess probe({END_PROCESS_PROBE, c.how}, Environment{{}, {"DISPLAY"}});
    probe.CloseInput();
    EXPECT_EQ(probe.Wait(), c.exitCode) << c.how;
    EXPECT_EQ(probe.Output(), "first line\nunfinished") << c.how;
  }
}

}  // namespace
}  // namespace hb::test
