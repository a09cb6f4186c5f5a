// Runs the real program as a user would without a display: standard input
// at its end, standard output a pipe.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "expected_output.h"

namespace hb::test {
namespace {

struct ProgramOutput {
  std::string output;
  int status = -1;
};

ProgramOutput RunWithoutDisplay() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    unsetenv("DISPLAY");
    alarm(120);  // a run that hangs dies of SIGALRM instead of stalling the suite
    execl(HASHBENCH_PROGRAM, HASHBENCH_PROGRAM, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  ProgramOutput run;
  char chunk[4096];
  for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) run.output.append(chunk, got);
  close(pipeEnds[0]);
  waitpid(child, &run.status, 0);
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
  ASSERT_TRUE(WIFEXITED(run.status)) << "status " << run.status;
  EXPECT_EQ(WEXITSTATUS(run.status), 0);

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

}  // namespace
}  // namespace hb::test
