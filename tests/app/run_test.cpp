// Runs the real program as a user would without a display: standard input
// at its end, standard output a pipe (or what a case makes of it).
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/expected_output.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_injection.h"

namespace hb::test {
namespace {

struct ProgramOutput {
  std::string output;
  std::string errorOutput;
  int exitCode = -1;
};

// Runs `argv` (the program, or a command that starts it) with no display,
// standard input at its end, `more` in the environment and `output` as
// standard output when given (else a pipe).
ProgramOutput RunWithoutDisplay(const std::vector<std::string>& argv = {HASHBENCH_PROGRAM},
                                std::vector<std::string> more = {}, int output = -1) {
  const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ChildProcess program(argv, Environment{std::move(more), {"DISPLAY"}}, devNull, output);
  close(devNull);
  ProgramOutput run;
  run.exitCode = program.Wait(std::chrono::seconds(120));
  run.output = program.Output();
  run.errorOutput = program.ErrorOutput();
  return run;
}

TEST(ProgramRun, PrintsTheLinesOfACorrectRunAndExitsWithZero) {
  const ProgramOutput run = RunWithoutDisplay();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errorOutput, "") << "a run without a display is no news";

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

// The stream console needs no thread: when the window's thread cannot be had
// the run goes to standard output all the same, and says why.
TEST(ProgramRun, WithoutAConsoleThreadWritesToStandardOutputAndSaysWhy) {
  struct Case {
    const char* fault;
    const char* message;
  };
  const Case kCases[] = {
      {kNoThreadFault, "hashbench: cannot start the console thread: Resource temporarily unavailable; "
                       "writing to standard output\n"},
      {kNoEventFdFault, "hashbench: cannot make the console's wake-up channel: Too many open files; "
                        "writing to standard output\n"},
  };
  for (const Case& c : kCases) {
    const ProgramOutput run = RunWithoutDisplay({HASHBENCH_PROGRAM}, InjectFault(c.fault));
    EXPECT_EQ(run.exitCode, 0) << c.fault;
    EXPECT_EQ(run.errorOutput, c.message) << c.fault;
    EXPECT_EQ(RunOutputMismatch(run.output), "") << c.fault;
  }
}

// Output that cannot be written is said once, and the run ends with 1; a
// reader that went away is no error: the program ends as the broken pipe
// has it, quietly.
TEST(ProgramRun, ReportsTheFirstFailedWriteOnceAndEndsWithOne) {
  int readerGone[2];
  ASSERT_EQ(pipe2(readerGone, O_CLOEXEC), 0);
  close(readerGone[0]);
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  struct Case {
    const char* name;
    std::vector<std::string> argv;
    int output;
    int exitCode;
    const char* message;
  };
  const Case kCases[] = {
      {"full device", {HASHBENCH_PROGRAM}, full, 1,
       "hashbench: cannot write to standard output: No space left on device\n"},
      {"closed", {"/bin/sh", "-c", "exec \"$0\" >&-", HASHBENCH_PROGRAM}, -1, 1,
       "hashbench: cannot write to standard output: Bad file descriptor\n"},
      {"reader gone, broken pipe signal ignored", {"env", "--ignore-signal=PIPE", HASHBENCH_PROGRAM}, readerGone[1],
       0, ""},
      {"reader gone, broken pipe signal at its default", {"env", "--default-signal=PIPE", HASHBENCH_PROGRAM},
       readerGone[1], 128 + SIGPIPE, ""},
  };
  for (const Case& c : kCases) {
    const ProgramOutput run = RunWithoutDisplay(c.argv, {}, c.output);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
    EXPECT_EQ(run.errorOutput, c.message) << c.name;
  }
  close(full);
  close(readerGone[1]);
}

#ifdef HB_LEAKS_CHECKED
// The process ends with _exit, which skips LeakSanitizer's check at exit:
// the end of the process runs it. A probe that loses memory is caught, and a
// whole run of the program loses none.
TEST(ProgramRun, LeakCheckRunsBeforeTheProcessEndsAndFindsNothing) {
  std::string asanOptions = "ASAN_OPTIONS=";
  if (const char* inherited = std::getenv("ASAN_OPTIONS")) asanOptions += std::string(inherited) + ":";
  asanOptions += "detect_leaks=1";
  const ProgramOutput probe = RunWithoutDisplay({END_PROCESS_PROBE, "leak"}, {asanOptions});
  EXPECT_NE(probe.exitCode, 3) << "the lost memory went unnoticed";
  EXPECT_NE(probe.errorOutput.find("LeakSanitizer: detected memory leaks"), std::string::npos)
      << probe.errorOutput;

  const ProgramOutput run = RunWithoutDisplay({HASHBENCH_PROGRAM}, {asanOptions});
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(run.errorOutput, "");
}
#endif

}  // namespace
}  // namespace hb::test
