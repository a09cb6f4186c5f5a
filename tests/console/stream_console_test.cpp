// The stream console, through the driver program with no X display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/terminal_child.h"

namespace hb::test {
namespace {

std::vector<std::string> Driver(std::vector<std::string> commands) {
  commands.insert(commands.begin(), HB_CONSOLE_DRIVER);
  return commands;
}

// Both ways of having no display: none named, and one that cannot be opened.
const Environment kNoDisplay[] = {{{}, {"DISPLAY"}}, {{"DISPLAY=:54321"}, {}}};

std::vector<std::string> ErrorLines(const ChildProcess& child) {
  std::vector<std::string> lines;
  std::string rest = child.ErrorOutput();
  for (std::size_t end; (end = rest.find('\n')) != std::string::npos; rest.erase(0, end + 1)) {
    lines.push_back(rest.substr(0, end));
  }
  return lines;
}

TEST(StreamConsoleTest, WritesWhatTheGridShows) {
  const std::string eighty(80, 'a');
  struct Case {
    const char* name;
    std::vector<std::string> commands;
    std::string output;
  };
  const Case kCases[] = {
      {"lines", {"print:Hello", "newline", "print:World", "newline"}, "Hello\nWorld\n"},
      {"unfinished last line", {"print:Done"}, "Done"},
      {"empty text", {"print:", "newline", "print:", "newline"}, "\n\n"},
      {"longer than a row", {"print:" + eighty + "0123456789"}, eighty + "\n0123456789"},
      {"cut at the right edge", {"print:0123456789", "print:" + eighty, "print:b"},
       "0123456789" + eighty.substr(0, 70) + "\nb"},
      {"full row then line end", {"print:" + eighty, "newline", "print:x"}, eighty + "\nx"},
      {"widened bytes as UTF-8", {"print:caf\xE9 \x80", "newline"}, "caf\xC3\xA9 \xE2\x82\xAC\n"},
  };
  for (const Environment& environment : kNoDisplay) {
    for (const Case& c : kCases) {
      std::vector<std::string> commands = c.commands;
      commands.insert(commands.begin(), "open");
      ChildProcess driver(Driver(commands), environment);
      driver.CloseInput();
      ASSERT_EQ(driver.Wait(), 0) << c.name << "\n" << driver.ErrorOutput();
      EXPECT_EQ(driver.Output(), c.output) << c.name;
      EXPECT_EQ(ErrorLines(driver), std::vector<std::string>{"open 1"}) << c.name;
    }
  }
}

TEST(StreamConsoleTest, WaitKeyReadsOneCharacterAndEndsAtEndOfInput) {
  struct Case {
    std::string input;
    std::vector<std::string> reports;
  };
  const Case kCases[] = {
      {"", {"open 1", "key none", "key none"}},
      {"xy", {"open 1", "key 120", "key 121"}},
      {"\xC3\xA9", {"open 1", "key 233", "key none"}},
      {"\r", {"open 1", "key 13", "key none"}},
  };
  for (const Case& c : kCases) {
    ChildProcess driver(Driver({"open", "print:Done", "newline", "key", "key"}), kNoDisplay[0]);
    driver.Write(c.input);
    driver.CloseInput();
    ASSERT_EQ(driver.Wait(), 0) << driver.ErrorOutput();
    EXPECT_EQ(driver.Output(), "Done\n");
    EXPECT_EQ(ErrorLines(driver), c.reports) << c.input;
  }
}

TEST(StreamConsoleTest, PrintedTextIsOutBeforeTheKeyWait) {
  ChildProcess driver(Driver({"open", "print:Press a key", "key"}), kNoDisplay[0]);
  ASSERT_TRUE(driver.WaitForOutput("Press a key"));  // no line end yet: only a flush shows it
  driver.Write("k");
  driver.CloseInput();
  ASSERT_EQ(driver.Wait(), 0);
  EXPECT_EQ(ErrorLines(driver), (std::vector<std::string>{"open 1", "key 107"}));
}

// On a terminal the key is read without waiting for Enter, without echo and
// with control characters as typed; the terminal's mode is restored.
TEST(StreamConsoleTest, ReadsATerminalKeyRawAndRestoresTheMode) {
  struct Case {
    const char* typed;
    const char* report;
  };
  const Case kCases[] = {{"z", "key 122"}, {"\r", "key 13"}, {"\x03", "key 3"}};
  for (const Case& c : kCases) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(terminal, &before), 0);
    ASSERT_NE(before.c_lflag & ICANON, 0u);

    ChildProcess driver(Driver({"open", "print:?", "key"}), kNoDisplay[0], terminal);
    ASSERT_TRUE(driver.WaitForOutput("?"));
    // The prompt is flushed before the terminal is switched; wait for the switch.
    termios during = before;
    for (int i = 0; i < 3000 && (during.c_lflag & ICANON) != 0; ++i) {
      usleep(1000);
      tcgetattr(terminal, &during);
    }
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO | ISIG), 0u);
    ASSERT_EQ(write(master, c.typed, 1), 1);  // no Enter after it
    ASSERT_EQ(driver.Wait(), 0) << c.report;
    EXPECT_EQ(ErrorLines(driver), (std::vector<std::string>{"open 1", c.report}));

    termios after{};
    ASSERT_EQ(tcgetattr(terminal, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag) << c.report;
    EXPECT_EQ(after.c_iflag, before.c_iflag) << c.report;
    char echoed[8];
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    EXPECT_LT(read(master, echoed, sizeof echoed), 1) << "echoed " << c.report;
    close(terminal);
    close(master);
  }
}

// A signal that ends the process while the key wait holds the terminal raw
// puts the terminal's mode back first; the process still ends as the signal
// has it.
TEST(StreamConsoleTest, SignalDuringTheKeyWaitRestoresTheTerminalAndEndsTheProcess) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    const std::string name = strsignal(signal);
    TerminalChild driver(Driver({"open", "print:?", "key"}), kNoDisplay[0]);
    ASSERT_TRUE(driver.Running()) << name;
    const termios before = driver.InitialMode();
    ASSERT_NE(before.c_lflag & ICANON, 0u);
    ASSERT_TRUE(driver.WaitForOutput("?")) << name;
    ASSERT_TRUE(driver.WaitForMode([](const termios& mode) { return (mode.c_lflag & ICANON) == 0; })) << name;

    ASSERT_TRUE(driver.Signal(signal)) << name;
    const std::optional<int> status = driver.WaitStatus();
    ASSERT_TRUE(status.has_value()) << name << ": the driver did not end";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << name << ": wait status " << *status;
    const std::optional<termios> after = driver.Mode();
    ASSERT_TRUE(after.has_value()) << name;
    EXPECT_EQ(after->c_lflag, before.c_lflag) << name;
    EXPECT_EQ(after->c_iflag, before.c_iflag) << name;
  }
}

// Into a pipe the output goes out in blocks: a finished line waits for the
// block to fill, for the key wait or for the exit.
TEST(StreamConsoleTest, IntoAPipeHoldsLinesUntilABlockIsFullOrAKeyIsAwaited) {
  ChildProcess driver(Driver({"open", "lines:1000", "mark:printed", "hold", "print:last", "newline", "mark:held",
                              "hold", "key"}),
                      kNoDisplay[0]);
  ASSERT_EQ(driver.ReadErrorLine(), "open 1");
  ASSERT_EQ(driver.ReadErrorLine(), "mark printed");
  // The full blocks are out: the first line is there, the last one is not
  // (reading all that was written before the mark takes far less than the wait).
  const auto written = std::chrono::milliseconds(300);
  ASSERT_TRUE(driver.WaitForOutput("line 1\n"));
  EXPECT_FALSE(driver.WaitForOutput("line 1000\n", written));
  driver.Write("\n");
  ASSERT_EQ(driver.ReadErrorLine(), "mark held");
  EXPECT_FALSE(driver.WaitForOutput("last", written));
  driver.Write("\nk");  // ends the hold; the key wait writes everything out first
  ASSERT_TRUE(driver.WaitForOutput("line 1000\nlast\n"));
  driver.CloseInput();
  ASSERT_EQ(driver.Wait(), 0);
  EXPECT_EQ(ErrorLines(driver).back(), "key 107");
}

// To a terminal every line goes out at its line end.
TEST(StreamConsoleTest, ToATerminalWritesEachLineAtItsEnd) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  // The driver's standard output is the terminal; its reports still come through the pipe.
  ChildProcess driver({"/bin/sh", "-c", "exec \"$0\" open print:first newline mark:printed hold >" + terminal,
                       HB_CONSOLE_DRIVER},
                      kNoDisplay[0]);
  ASSERT_EQ(driver.ReadErrorLine(), "open 1");
  ASSERT_EQ(driver.ReadErrorLine(), "mark printed");
  // The line is on the terminal while the driver still holds.
  std::string shown;
  char bytes[64];
  for (int i = 0; i < 3000 && shown.find('\n') == std::string::npos; ++i) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, 10) == 1) {
      const ssize_t got = read(master, bytes, sizeof bytes);
      if (got > 0) shown.append(bytes, static_cast<std::size_t>(got));
    }
  }
  EXPECT_EQ(shown, "first\r\n");
  driver.CloseInput();
  EXPECT_EQ(driver.Wait(), 0);
  close(master);
}

TEST(StreamConsoleTest, FailedOrSecondOpenGivesZero) {
  struct Case {
    std::vector<std::string> commands;
    std::vector<std::string> reports;
    std::string output;
  };
  const Case kCases[] = {
      // A second console is refused; the first one keeps working.
      {{"open", "open", "print:a", "newline"}, {"open 1", "open 0"}, "a\n"},
      // A grid that cannot be made: nothing is printed, the key wait ends at once.
      {{"open:Test:0:50:0:0", "print:a", "newline", "key"}, {"open 0", "key none"}, ""},
      {{"open:Test:80:-1:0:0", "print:a", "key"}, {"open 0", "key none"}, ""},
      // Without any open console, likewise.
      {{"print:a", "newline", "key"}, {"key none"}, ""},
  };
  for (const Case& c : kCases) {
    ChildProcess driver(Driver(c.commands), kNoDisplay[0]);
    driver.Write("x");  // a key is there: only a missing console explains "key none"
    ASSERT_EQ(driver.Wait(), 0);
    EXPECT_EQ(ErrorLines(driver), c.reports) << c.commands[0];
    EXPECT_EQ(driver.Output(), c.output) << c.commands[0];
  }
}

}  // namespace
}  // namespace hb::test
